// A complete host without a display, for tests: virtual time, scripted input, windows kept as
// framebuffers that can be read pixel by pixel or saved as bitmaps, and a record of every clip
// played and every error box shown.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/virtual_clock.h"
#include "platform/host/host.h"

namespace kelvora {

// Thrown when the program waits for input that no script will ever bring, or when virtual time
// runs past the budget: a test that would otherwise hang fails instead.
class HeadlessStall : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HeadlessHost final : public Host {
public:
    struct PlayedClip {
        int64_t timeMs = 0;
        PcmClip clip;
    };
    struct ErrorBox {
        Text title;
        Text message;
    };
    struct WindowState {
        Text title;
        Size client;
        Point outerTopLeft;
        bool visible = false;
        bool open = true;
        bool minimizeBox = false;
        HostWindowId parent = 0;
        std::vector<uint32_t> screen;  // what has been presented, 0x00BBGGRR
        int64_t presentCount = 0;
        std::vector<Rect> lastAreas;
    };

    static constexpr FrameSizes kFrame{3, 26, 3, 3};
    static constexpr Size kScreen{1024, 768};

    HeadlessHost();

    // --- Host ---
    HostWindowId OpenWindow(const HostWindowSpec& request) override;
    void ShowWindow(HostWindowId window) override;
    void CloseWindow(HostWindowId window) override;
    void MoveWindow(HostWindowId window, Point outerTopLeft) override;
    void ResizeWindow(HostWindowId window, Size client) override;
    Point WindowPosition(HostWindowId window) override;
    FrameSizes FrameOf(HostWindowId window) override;
    FrameSizes TypicalFrame() override { return kFrame; }
    Size ScreenSize() override { return kScreen; }
    void Present(HostWindowId window, const uint32_t* pixels, int32_t stride, Size size,
                 const std::vector<Rect>& areas) override;
    bool WaitEvent(HostEvent& event, int32_t timeoutMs) override;
    Point GlobalMousePosition() override { return mouse_; }
    void StartTextInput(HostWindowId window, Rect caretArea) override;
    void StopTextInput() override { textInputWindow_ = 0; }
    uint32_t TickMs() override { return clock_.TickMs(); }
    void SleepMs(int32_t ms) override;
    void PlayClip(PcmClip clip) override;
    bool ShowSystemErrorBox(const Text& title, const Text& message) override;
    Utf8Text ClipboardText() override { return clipboard_; }
    void SetClipboardText(const Utf8Text& utf8) override { clipboard_ = utf8; }
    Utf8Text ProgramDirectoryPath() override { return programDirectory_; }
    Utf8Text UserDataDirectoryPath() override { return userDataDirectory_; }

    // --- Time ---
    int64_t NowMs() const { return clock_.NowMs(); }
    void AdvanceMs(int64_t ms) { clock_.Advance(ms); }
    // Virtual time beyond which waiting fails with HeadlessStall (default: one virtual hour).
    void SetTimeBudgetMs(int64_t ms) { budgetMs_ = ms; }

    // --- Scripted input. Window 0 means "the active window when the step is reached": the most
    // recently opened window still open. Positions are in that window's client area. ---
    void QueueEvent(HostEvent event);
    void MouseDown(Point client, HostWindowId window = 0, uint32_t modifiers = 0,
                   MouseButton button = MouseButton::Left);
    void MouseUp(Point client, HostWindowId window = 0, uint32_t modifiers = 0,
                 MouseButton button = MouseButton::Left);
    void MouseMoveTo(Point client, HostWindowId window = 0, uint32_t modifiers = 0);
    // Moves the pointer relative to where it is on the screen (a drag moves the window under it).
    void MouseMoveBy(int32_t dx, int32_t dy, HostWindowId window = 0, uint32_t modifiers = 0);
    void Click(Point client, HostWindowId window = 0, uint32_t modifiers = 0);
    void PressKey(Key key, uint32_t modifiers = 0, HostWindowId window = 0);
    // What the system sends while a key pressed earlier is held down.
    void RepeatKey(Key key, uint32_t modifiers = 0, HostWindowId window = 0);
    void TypeText(const std::string& utf8, HostWindowId window = 0);
    void Compose(const std::string& utf8, int32_t cursor = 0, HostWindowId window = 0);
    void RequestClose(HostWindowId window = 0);
    void RequestQuit();
    // Nothing happens for ms of virtual time before the next queued step.
    void Pause(int64_t ms);
    // Runs when reached, with the program in whatever state it is then (a window open, say);
    // whatever it queues comes right after it, before the steps queued earlier.
    void Then(std::function<void()> action);
    bool ScriptEmpty() const { return script_.empty(); }
    // Called when the program waits for input with no timer running and nothing queued.
    void SetIdleHandler(std::function<void()> onIdle) { onIdle_ = std::move(onIdle); }

    // --- What happened ---
    const std::vector<PlayedClip>& PlayedClips() const { return clips_; }
    const std::vector<ErrorBox>& ErrorBoxes() const { return errorBoxes_; }
    const WindowState* Window(HostWindowId window) const;
    HostWindowId ActiveWindow() const;
    std::vector<HostWindowId> OpenWindows() const;
    // A presented pixel; 0xFFFFFFFF outside the window or for a closed window.
    uint32_t PixelAt(HostWindowId window, int32_t x, int32_t y) const;
    // A 24-bit bottom-up bitmap file of the window's presented pixels; false when it cannot be written.
    bool SaveBitmap(HostWindowId window, const std::string& path) const;
    HostWindowId TextInputWindow() const { return textInputWindow_; }
    Rect TextInputArea() const { return textInputArea_; }

    void SetProgramDirectory(std::string path) { programDirectory_ = std::move(path); }
    void SetUserDataDirectory(std::string path) { userDataDirectory_ = std::move(path); }

private:
    void QueueKey(Key key, uint32_t modifiers, HostWindowId window, bool repeat);
    struct Step {
        enum class Kind { Event, MoveBy, Pause, Action } kind = Kind::Event;
        HostEvent event;
        int32_t dx = 0;
        int32_t dy = 0;
        int64_t pauseMs = 0;
        std::function<void()> action;
    };

    WindowState* Find(HostWindowId window);
    Point ClientOrigin(HostWindowId window) const;
    void CheckBudget() const;
    HostEvent MouseEvent(HostEventKind kind, Point client, HostWindowId window, uint32_t modifiers,
                         MouseButton button) const;
    bool Resolve(HostEvent& event) const;

    VirtualClock clock_{0};
    int64_t budgetMs_ = 3600 * 1000;
    std::map<HostWindowId, WindowState> windows_;
    std::vector<HostWindowId> openOrder_;
    HostWindowId nextId_ = 1;
    std::deque<Step> script_;
    int64_t pauseUntilMs_ = -1;
    std::function<void()> onIdle_;
    Point mouse_;
    std::vector<PlayedClip> clips_;
    std::vector<ErrorBox> errorBoxes_;
    std::string clipboard_;
    HostWindowId textInputWindow_ = 0;
    Rect textInputArea_;
    std::string programDirectory_ = ".";
    std::string userDataDirectory_ = ".";
};

}  // namespace kelvora
