// Kelvora's entry point in the browser: the page has brought the program folder in from its
// storage before this runs; the game then plays in the page until its main window is closed, and
// the page offers to start it again.
#include <emscripten.h>

#include "base/system/folders.h"
#include "platform/host/web/web_host.h"
#include "windows/application.h"

namespace {

EM_JS(void, KelvoraStarted, (), { KelvoraPage.started(); });
EM_JS(void, KelvoraEnded, (int32_t code), { KelvoraPage.ended(code); });

}  // namespace

int main() {
    kelvora::EnterProgramDirectory();
    const int code = kelvora::RunKelvora(kelvora::CreateWebHost(), [] { KelvoraStarted(); });
    KelvoraEnded(code);
    return code;
}
