// The honour-roll window.
#include "windows/honour_window.h"

#include "windows/application.h"
#include "windows/main_window.h"

namespace kelvora {

void FillHonourWindow(Application& app, WindowRef window) {
    app.runtime.CentreOnMainWindow(window);
    const std::vector<Text> roll = app.honour.honourRoll;
    for (int32_t k = 1; k <= kHonourPlaces; ++k) {
        const Text entry = k <= static_cast<int32_t>(roll.size()) ? roll[k - 1] : Text();
        app.runtime.SetProperty(app.runtime.ControlByTag(window, k), Property::Caption, EntryName(entry));
        ShowScore(app.runtime, app.runtime.ControlByTag(window, k + 10), EntryScore(entry));
    }
}

}  // namespace kelvora
