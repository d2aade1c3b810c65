// The controls of a window as they live at run time (label, button, edit box, drawing panel,
// timer), and how labels, buttons and edit boxes draw themselves.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/draw_panel.h"
#include "platform/edit_text.h"
#include "platform/host/font_service.h"
#include "platform/host/host.h"
#include "platform/layouts.h"
#include "base/timers.h"

namespace kelvora {

struct Control {
    ControlLayout layout;  // as loaded: name, kind, tag, font, colours, bindings
    Rect rect;             // in the window's client area
    bool visible = true;
    Text caption;
    // Labels, buttons and edit boxes keep their look at their size, redrawn when it changes.
    std::vector<uint32_t> pixels;
    bool pressed = false;  // a button held down with the pointer over it
    std::unique_ptr<EditText> edit;
    Text composition;      // an input method's unfinished text, shown at the caret
    size_t scrollStart = 0;
    bool focused = false;
    bool focusShown = false;  // a focused button's dotted frame, shown while the keyboard is in use
    std::unique_ptr<DrawPanel> panel;
    // A drawing panel's keyboard cursor: its cell, column and row counted from 0.
    bool cursorShown = false;
    Point cursor;
    TimerSchedule timer;
    bool ticking = false;  // its tick handler runs: no second tick meanwhile

    bool Drawn() const { return layout.kind != ControlKind::Timer; }
};

// Builds a control from its layout, started as the layout says (timers scheduled from nowMs).
Control MakeControl(const ControlLayout& layout, FontService& fonts, int64_t nowMs);

// Redraws the look of a label, button or edit box into its pixels.
void RenderControl(Control& control, FontService& fonts);

// A drawing panel's keyboard cursor: the cell it is on, in the window's client area, and the
// cursor drawn over the panel's part of the area of a framebuffer (stride in pixels).
Rect CursorCellRect(const Control& panel);
void DrawCursor(const Control& panel, Rect area, uint32_t* framebuffer, int32_t stride);

// The lines of a caption: split at CR LF, lone CR and lone LF, and, with a width above 0, broken
// further at word boundaries (after spaces, between Chinese characters) to fit that width.
std::vector<Text> CaptionLines(FontService& fonts, const FontSpec& font, std::string_view caption, int32_t width);

// Edit boxes: the text area inside the sunken border, the caret position in the box, and the
// character position nearest to an x in the box.
Rect EditTextArea(const Control& control);
Rect EditCaretRect(const Control& control, FontService& fonts);
size_t EditPositionAt(const Control& control, FontService& fonts, int32_t x);
// Moves the first shown character so that the caret is inside the box.
void KeepCaretVisible(Control& control, FontService& fonts);

}  // namespace kelvora
