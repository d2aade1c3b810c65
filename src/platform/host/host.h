// The boundary to the operating system: OS windows, their pixels, input, time, sound, message
// boxes, the clipboard and the program's folders, said in the game's terms and not in SDL's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/text.h"

namespace kelvora {

// Identifies one OS window of a host; 0 names none.
using HostWindowId = uint32_t;

// The thickness of a window's frame on each side: outer rectangle minus client area.
struct FrameSizes {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const FrameSizes&) const = default;
};

struct HostWindowSpec {
    Text title;                 // GBK; converted at the edge
    Size client;                // client area in pixels
    Point outerTopLeft;         // where the outer rectangle's corner goes on the screen
    bool minimizeBox = false;
    HostWindowId parent = 0;    // a hint only: modality is enforced by the runtime
};

enum class Key : int32_t {
    Other = 0,
    Escape,
    Enter,
    Tab,
    Backspace,
    Delete,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    Space,
    F2,
    A,
    C,
    V,
    X,
};

// The modifier flags, with the values the game's press handlers receive.
enum KeyModifier : uint32_t {
    kModifierCtrl = 1,
    kModifierShift = 2,
    kModifierAlt = 4,
};

enum class MouseButton : int32_t { Left = 1, Middle = 2, Right = 3 };

enum class HostEventKind {
    MouseDown,
    MouseUp,
    MouseMove,
    KeyDown,
    TextInput,     // text is UTF-8, exactly what was typed or committed by an input method
    TextEditing,   // an input method's unfinished composition, UTF-8; empty when it ends
    CloseRequest,  // the window's close box
    Quit,          // the whole program is asked to stop (signal, session end)
    Exposed,       // the system lost the window's pixels: everything must be presented again
};

struct HostEvent {
    HostEventKind kind = HostEventKind::MouseMove;
    HostWindowId window = 0;
    Point position;             // in the window's client area
    Point screen;               // the pointer on the screen
    MouseButton button = MouseButton::Left;
    uint32_t modifiers = 0;     // KeyModifier flags
    Key key = Key::Other;
    // KeyDown: the key was already down, and the system repeats it while it is held.
    bool repeat = false;
    Utf8Text text;              // TextInput, TextEditing
    int32_t compositionCursor = 0;
};

// Signed 16-bit or unsigned 8-bit PCM, interleaved, as a wave clip holds it.
struct PcmClip {
    int32_t channels = 1;       // 1 or 2
    int32_t bitsPerSample = 16; // 8 or 16
    int32_t sampleRate = 22050;
    std::vector<uint8_t> samples;
};

class Host {
public:
    virtual ~Host() = default;

    // Windows open hidden, so that their content can be built before anyone sees them.
    virtual HostWindowId OpenWindow(const HostWindowSpec& request) = 0;
    virtual void ShowWindow(HostWindowId window) = 0;
    virtual void CloseWindow(HostWindowId window) = 0;
    virtual void MoveWindow(HostWindowId window, Point outerTopLeft) = 0;
    // Changes the client area; the window's pixels must then be presented again.
    virtual void ResizeWindow(HostWindowId window, Size client) = 0;
    virtual Point WindowPosition(HostWindowId window) = 0;  // outer top-left corner
    virtual FrameSizes FrameOf(HostWindowId window) = 0;
    // The frame a window about to be opened will most likely get, to turn outer sizes into client
    // sizes before the window exists.
    virtual FrameSizes TypicalFrame() = 0;
    virtual Size ScreenSize() = 0;
    // The picture the desktop shows for every window of the program (0x00BBGGRR, top row first);
    // pixels of the colour `transparent` let the desktop show through. Hosts without icons ignore it.
    virtual void SetWindowIcon(const std::vector<uint32_t>& /*pixels*/, Size /*size*/, uint32_t /*transparent*/) {}

    // Shows the area of a client-sized framebuffer of 0x00BBGGRR pixels (stride in pixels).
    // Several areas in one call reach the screen together.
    virtual void Present(HostWindowId window, const uint32_t* pixels, int32_t stride, Size size,
                         const std::vector<Rect>& areas) = 0;

    // The next input event; false when timeoutMs passed without one. A negative timeout waits
    // for as long as it takes.
    virtual bool WaitEvent(HostEvent& event, int32_t timeoutMs) = 0;
    virtual Point GlobalMousePosition() = 0;
    // Typing goes to a text field: input methods place their window near caretArea.
    virtual void StartTextInput(HostWindowId window, Rect caretArea) = 0;
    virtual void StopTextInput() = 0;

    virtual uint32_t TickMs() = 0;
    virtual void SleepMs(int32_t ms) = 0;

    // Starts the clip and returns at once; clips overlap.
    virtual void PlayClip(PcmClip clip) = 0;

    // The fatal report in the system's own message box, where it has one that shows every text
    // the game can give; blocks until the player dismisses it. Texts are GBK. False where the
    // host has no such box: the runtime then draws the report in a window of its own.
    virtual bool ShowSystemErrorBox(const Text& title, const Text& message) {
        (void)title;
        (void)message;
        return false;
    }

    // Asks the system to show pixels of this colour (0x00BBGGRR) see-through where the window is
    // a layered one; false where it is not, or where the system has no such windows (SDL, tests).
    virtual bool SetColourKey(HostWindowId window, uint32_t colour) {
        (void)window;
        (void)colour;
        return false;
    }

    virtual Utf8Text ClipboardText() = 0;
    virtual void SetClipboardText(const Utf8Text& text) = 0;

    // System paths, without a trailing separator.
    virtual Utf8Text ProgramDirectoryPath() = 0;
    virtual Utf8Text UserDataDirectoryPath() = 0;
};

}  // namespace kelvora
