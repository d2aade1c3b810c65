// A runtime on the headless host, with helpers that script the player's input in the terms of
// the game's windows: click this control, press Esc, type this name, run for so long.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/host/headless/headless_host.h"
#include "platform/runtime.h"

namespace kelvora::testing {

class HeadlessRuntime {
public:
    HeadlessRuntime();
    // Its names' routines point back at it.
    HeadlessRuntime(const HeadlessRuntime&) = delete;
    HeadlessRuntime& operator=(const HeadlessRuntime&) = delete;

    HeadlessHost& host;
    Runtime& runtime;

    // The tests use the game's windows without the game: every name the four layouts bind is
    // registered here, and does nothing until the test gives it a routine of its own. A later
    // routine replaces an earlier one. CentreOnMainWindow stays the runtime's.
    void Handle(std::string_view name, EventHandler handler);

    // The main window from its layout (its created handler runs if the test gave it one).
    WindowRef OpenMainWindow();

    // --- Scripted input, resolved when the script reaches it: "the top window" is whichever
    // window is on top at that moment, so a click can be queued for a modal window not yet open. ---
    void ClickControl(std::string_view controlName, uint32_t modifiers = 0);
    void ClickControl(WindowRef window, std::string_view controlName, uint32_t modifiers = 0);
    // A click at a point of a control, in the control's own pixels.
    void ClickInControl(std::string_view controlName, Point at, uint32_t modifiers = 0);
    void PressKey(Key key, uint32_t modifiers = 0) { host.PressKey(key, modifiers); }
    void PressEsc() { host.PressKey(Key::Escape); }
    void TypeText(const std::string& utf8) { host.TypeText(utf8); }
    void CloseTopWindow() { host.RequestClose(); }
    void Then(std::function<void()> action) { host.Then(std::move(action)); }

    // --- Looking at the result ---
    // A presented pixel of the window's client area (0x00BBGGRR).
    uint32_t ScreenPixel(WindowRef window, int32_t x, int32_t y) const;
    uint32_t ScreenPixel(WindowRef window, std::string_view controlName, int32_t x, int32_t y) const;
    // Writes the window as a bitmap into screenshots/ of the current directory; returns the path
    // (empty when it could not be written).
    std::string SaveScreenshot(WindowRef window, const std::string& name) const;
    Rect ControlRect(WindowRef window, std::string_view controlName) const;
    // Counts presented pixels of the control's area that have exactly this colour.
    int32_t CountPixels(WindowRef window, std::string_view controlName, uint32_t colour) const;

private:
    explicit HeadlessRuntime(std::unique_ptr<Runtime> runtime);
    std::unique_ptr<Runtime> owned_;
    std::map<Text, EventHandler, std::less<>> handlers_;
};

// UTF-8 text for typing in tests, whatever the compiler does to narrow literals.
std::string Utf8(const char8_t* text);

}  // namespace kelvora::testing
