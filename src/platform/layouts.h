// The four windows of the game as data: each window's own attributes and its controls in layout
// order, with captions, fonts, colours, tags and which handler each event goes to.
#pragma once

#include <cstdint>
#include <vector>

#include "base/font_face.h"
#include "base/text.h"
#include "platform/host/host.h"

namespace kelvora {

// As a background: the system's button face; as a text background: transparent.
constexpr uint32_t kDefaultColour = 0xFF000000u;
constexpr uint32_t kButtonFaceColour = 0xF0F0F0u;
constexpr uint32_t kWindowBackColour = 0xECECECu;

enum class ControlKind { Label, Button, EditBox, DrawPanel, Timer };
enum class TextAlign { Left, Centre };

enum class EventKind {
    Created,          // the window, once, before it is first shown
    MouseMoved,       // the window
    LeftButtonDown,   // a drawing panel: position in panel pixels and Ctrl 1 / Shift 2 / Alt 4
    Click,            // a button
    Tick,             // a timer
    CursorAppears,    // a drawing panel's keyboard cursor, about to show: the handler may place it
};

struct EventBinding {
    EventKind event = EventKind::Click;
    Text handler;  // the name the application registers its routine under
};

struct ControlLayout {
    Text name;
    ControlKind kind = ControlKind::Label;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    Text tag;
    bool visible = true;
    Text caption;                        // label and button caption, edit box text
    uint32_t textColour = 0;
    uint32_t backColour = kDefaultColour;
    std::vector<uint32_t> gradient;      // label background blended top to bottom, when not empty
    FontSpec font = DefaultGuiFont();
    TextAlign align = TextAlign::Left;
    bool wordWrap = false;
    bool embossed = false;
    int32_t interval = 0;                // timer
    bool autoRedraw = false;             // drawing panel
    uint32_t penColour = 0;
    uint32_t brushColour = 0xFFFFFF;
    // The keyboard: Tab visits the controls whose index is above 0, lowest first; a button's access
    // key clicks it from anywhere in its window; a drawing panel with a cursor cell size shows a
    // cursor over its cells of that size, which the arrow keys move and Enter or Space press.
    int32_t tabIndex = 0;
    Key accessKey = Key::Other;
    int32_t cursorCell = 0;
    std::vector<EventBinding> bindings;
};

struct WindowLayout {
    Text name;
    Text caption;
    int32_t width = 0;   // outer size, frame and title bar included
    int32_t height = 0;
    bool minimizeBox = false;
    bool dragByBackground = false;
    bool escCloses = true;
    uint32_t backColour = kWindowBackColour;
    std::vector<EventBinding> bindings;
    std::vector<ControlLayout> controls;
};

const WindowLayout& MainWindowLayout();
const WindowLayout& HonourWindowLayout();
const WindowLayout& NameEntryWindowLayout();
const WindowLayout& GameOverWindowLayout();

// The handler names the layouts bind.
// A control of the given kind at its place, with nothing else set.
ControlLayout ControlLayoutAt(Text name, ControlKind kind, int32_t left, int32_t top, int32_t width, int32_t height);

namespace handlers {
inline constexpr const char* kSetUpMainWindow = "SetUpMainWindow";
inline constexpr const char* kHandleBoardPress = "HandleBoardPress";
inline constexpr const char* kNewGame = "NewGame";
inline constexpr const char* kOpenHonourRoll = "OpenHonourRoll";
inline constexpr const char* kSelectionTick = "SelectionTick";
inline constexpr const char* kScrollTick = "ScrollTick";
inline constexpr const char* kFillHonourWindow = "FillHonourWindow";
inline constexpr const char* kCentreOnMainWindow = "CentreOnMainWindow";
inline constexpr const char* kConfirmName = "ConfirmName";
inline constexpr const char* kPlaceBoardCursor = "PlaceBoardCursor";
}  // namespace handlers

}  // namespace kelvora
