// The headless runtime helpers for tests.
#include "support/headless_runtime.h"

#include <filesystem>

#include "platform/layouts.h"

namespace kelvora::testing {
namespace {

std::unique_ptr<Runtime> MakeRuntime() { return std::make_unique<Runtime>(std::make_unique<HeadlessHost>()); }

}  // namespace

HeadlessRuntime::HeadlessRuntime() : HeadlessRuntime(MakeRuntime()) {}

HeadlessRuntime::HeadlessRuntime(std::unique_ptr<Runtime> runtime)
    : host(static_cast<HeadlessHost&>(runtime->GetHost())), runtime(*runtime), owned_(std::move(runtime)) {
    for (const WindowLayout* layout :
         {&MainWindowLayout(), &HonourWindowLayout(), &NameEntryWindowLayout(), &GameOverWindowLayout()}) {
        for (const Text& name : this->runtime.UnboundHandlers(*layout)) {
            this->runtime.RegisterHandler(name, [this, name](const EventArgs& args) {
                const auto it = handlers_.find(name);
                if (it == handlers_.end()) return;
                // A copy: the routine may hand its name a new one while it runs.
                const EventHandler call = it->second;
                call(args);
            });
        }
    }
}

void HeadlessRuntime::Handle(std::string_view name, EventHandler handler) {
    handlers_.insert_or_assign(Text(name), std::move(handler));
}

WindowRef HeadlessRuntime::OpenMainWindow() { return runtime.LoadWindow(MainWindowLayout()); }

void HeadlessRuntime::ClickControl(std::string_view controlName, uint32_t modifiers) {
    ClickControl(WindowRef{}, controlName, modifiers);
}

void HeadlessRuntime::ClickControl(WindowRef window, std::string_view controlName, uint32_t modifiers) {
    Text name(controlName);
    host.Then([this, window, name, modifiers] {
        const WindowRef target = window ? window : runtime.TopWindow();
        const Rect r = ControlRect(target, name);
        const Point centre{r.left + r.width / 2, r.top + r.height / 2};
        host.Click(centre, runtime.HostWindowOf(target), modifiers);
    });
}

void HeadlessRuntime::ClickInControl(std::string_view controlName, Point at, uint32_t modifiers) {
    Text name(controlName);
    host.Then([this, name, at, modifiers] {
        const WindowRef target = runtime.TopWindow();
        const Rect r = ControlRect(target, name);
        host.Click(Point{r.left + at.x, r.top + at.y}, runtime.HostWindowOf(target), modifiers);
    });
}

uint32_t HeadlessRuntime::ScreenPixel(WindowRef window, int32_t x, int32_t y) const {
    return host.PixelAt(runtime.HostWindowOf(window), x, y);
}

uint32_t HeadlessRuntime::ScreenPixel(WindowRef window, std::string_view controlName, int32_t x, int32_t y) const {
    const Rect r = ControlRect(window, controlName);
    return ScreenPixel(window, r.left + x, r.top + y);
}

std::string HeadlessRuntime::SaveScreenshot(WindowRef window, const std::string& name) const {
    const std::filesystem::path folder = std::filesystem::current_path() / "screenshots";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (name + ".bmp")).string();
    return host.SaveBitmap(runtime.HostWindowOf(window), path) ? path : std::string{};
}

Rect HeadlessRuntime::ControlRect(WindowRef window, std::string_view controlName) const {
    const Control* c = runtime.ControlState(runtime.ControlByName(window, controlName));
    return c ? c->rect : Rect{};
}

int32_t HeadlessRuntime::CountPixels(WindowRef window, std::string_view controlName, uint32_t colour) const {
    const Rect r = ControlRect(window, controlName);
    int32_t count = 0;
    for (int32_t y = r.top; y < r.Bottom(); ++y) {
        for (int32_t x = r.left; x < r.Right(); ++x) {
            if (ScreenPixel(window, x, y) == colour) ++count;
        }
    }
    return count;
}

std::string Utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

}  // namespace kelvora::testing
