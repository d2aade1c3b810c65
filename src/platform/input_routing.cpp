// Routing input to a window's controls.
#include "platform/input_routing.h"

#include <algorithm>
#include <vector>

#include "base/system/codepage.h"
#include "platform/host/font_service.h"
#include "platform/presenting.h"

namespace kelvora {
namespace {

bool IsCursorPanel(const Control& c) { return c.layout.kind == ControlKind::DrawPanel && c.layout.cursorCell > 0; }

bool IsTabStop(const Control& c) { return c.layout.tabIndex > 0 && c.visible; }

Size CursorGrid(const Control& panel) {
    const int32_t cell = panel.layout.cursorCell;
    return Size{std::max(panel.rect.width / cell, 1), std::max(panel.rect.height / cell, 1)};
}

void HideCursor(Window& window, Control& panel) {
    if (!panel.cursorShown) return;
    panel.cursorShown = false;
    MarkStale(window, CursorCellRect(panel));
}

// The focused button's dotted frame follows whether the keyboard is in use.
void SetKeyboardCues(Window& window, bool shown, InputServices in) {
    window.keyboardCues = shown;
    if (window.focus < 0) return;
    Control& c = window.controls[static_cast<size_t>(window.focus)];
    const bool frame = shown && c.layout.kind == ControlKind::Button;
    if (frame == c.focusShown) return;
    c.focusShown = frame;
    RefreshControl(window, window.focus, in.fonts);
}

// The cursor shows on the panel's middle cell; the panel's handler may put it elsewhere before
// anyone sees it.
WindowReaction ShowCursor(Window& window, int32_t index) {
    Control& panel = window.controls[static_cast<size_t>(index)];
    const Size grid = CursorGrid(panel);
    panel.cursor = Point{grid.width / 2, grid.height / 2};
    panel.cursorShown = true;
    MarkStale(window, CursorCellRect(panel));
    return WindowReaction::Fire(EventKind::CursorAppears, index);
}

// Tab and Shift+Tab: the next or the previous control that Tab visits, round the window.
WindowReaction MoveFocus(Window& window, bool backwards, InputServices in) {
    std::vector<int32_t> stops;
    for (size_t i = 0; i < window.controls.size(); ++i) {
        if (IsTabStop(window.controls[i])) stops.push_back(static_cast<int32_t>(i));
    }
    if (stops.empty()) return {};
    std::stable_sort(stops.begin(), stops.end(), [&](int32_t a, int32_t b) {
        return window.controls[static_cast<size_t>(a)].layout.tabIndex < window.controls[static_cast<size_t>(b)].layout.tabIndex;
    });
    const auto at = std::find(stops.begin(), stops.end(), window.focus);
    const int32_t count = static_cast<int32_t>(stops.size());
    int32_t next = 0;
    if (at == stops.end()) {
        next = backwards ? count - 1 : 0;
    } else {
        next = (static_cast<int32_t>(at - stops.begin()) + (backwards ? count - 1 : 1)) % count;
    }
    const int32_t index = stops[static_cast<size_t>(next)];
    FocusControl(window, index, in);
    SetKeyboardCues(window, true, in);
    Control& c = window.controls[static_cast<size_t>(index)];
    // Tabbing into a field selects its text, so that typing replaces it.
    if (c.edit) {
        c.edit->SelectAll();
        EditChanged(window, index, in);
    }
    if (IsCursorPanel(c) && !c.cursorShown) return ShowCursor(window, index);
    return {};
}

// The arrow keys steer the window's cursor panel, wherever the focus was (unless in a field).
WindowReaction SteerCursor(Window& window, int32_t dx, int32_t dy, InputServices in) {
    int32_t index = window.focus >= 0 && IsCursorPanel(window.controls[static_cast<size_t>(window.focus)]) ? window.focus : -1;
    for (size_t i = 0; index < 0 && i < window.controls.size(); ++i) {
        if (IsCursorPanel(window.controls[i]) && window.controls[i].visible) index = static_cast<int32_t>(i);
    }
    if (index < 0) return {};
    FocusControl(window, index, in);
    SetKeyboardCues(window, true, in);
    Control& panel = window.controls[static_cast<size_t>(index)];
    // The first arrow only shows where the cursor is; the next ones move it, up to the edges.
    if (!panel.cursorShown) return ShowCursor(window, index);
    const Size grid = CursorGrid(panel);
    const Point moved{std::clamp(panel.cursor.x + dx, 0, grid.width - 1), std::clamp(panel.cursor.y + dy, 0, grid.height - 1)};
    if (moved == panel.cursor) return {};
    MarkStale(window, CursorCellRect(panel));
    panel.cursor = moved;
    MarkStale(window, CursorCellRect(panel));
    return {};
}

// Enter or Space on the focused panel: a press at the middle of the cell under the cursor, the
// same press as the left button's there.
WindowReaction PressUnderCursor(Window& window, InputServices in) {
    Control& panel = window.controls[static_cast<size_t>(window.focus)];
    SetKeyboardCues(window, true, in);
    if (!panel.cursorShown) return ShowCursor(window, window.focus);
    const int32_t cell = panel.layout.cursorCell;
    return WindowReaction::Fire(EventKind::LeftButtonDown, window.focus, panel.cursor.x * cell + cell / 2,
                                panel.cursor.y * cell + cell / 2);
}

WindowReaction EditKey(Window& window, const HostEvent& event, InputServices in) {
    EditText& edit = *window.controls[static_cast<size_t>(window.focus)].edit;
    const bool shift = (event.modifiers & kModifierShift) != 0;
    const bool ctrl = (event.modifiers & kModifierCtrl) != 0;
    switch (event.key) {
        case Key::Left:
            edit.MoveLeft(shift);
            break;
        case Key::Right:
            edit.MoveRight(shift);
            break;
        case Key::Home:
            edit.MoveHome(shift);
            break;
        case Key::End:
            edit.MoveEnd(shift);
            break;
        case Key::Backspace:
            edit.Backspace();
            break;
        case Key::Delete:
            edit.Delete();
            break;
        case Key::A:
            if (!ctrl) return {};
            edit.SelectAll();
            break;
        case Key::C:
        case Key::X: {
            if (!ctrl || !edit.HasSelection()) return {};
            const Conversion utf8 = GbkToUtf8(edit.SelectedText());
            if (utf8.ok) in.host.SetClipboardText(utf8.text);
            if (event.key == Key::X) edit.CutSelection();
            break;
        }
        case Key::V: {
            if (!ctrl) return {};
            const std::optional<Text> pasted = PastedTextToGbk(in.host.ClipboardText());
            if (!pasted) return {};
            edit.Insert(*pasted);
            break;
        }
        default:
            // Enter presses nothing: the window has no default button. Space comes as typed text.
            return {};
    }
    EditChanged(window, window.focus, in);
    return {};
}

}  // namespace

WindowReaction RouteMouseDown(Window& window, const HostEvent& event, InputServices in) {
    if (event.button != MouseButton::Left) return {};
    const int32_t index = ControlAt(window, event.position);
    if (index >= 0) {
        Control& c = window.controls[static_cast<size_t>(index)];
        switch (c.layout.kind) {
            case ControlKind::DrawPanel:
                if (c.layout.tabIndex > 0) {
                    // The mouse takes over: the cursor goes until the keyboard brings it back.
                    HideCursor(window, c);
                    FocusControl(window, index, in);
                    SetKeyboardCues(window, false, in);
                }
                return WindowReaction::Fire(EventKind::LeftButtonDown, index, event.position.x - c.rect.left,
                                            event.position.y - c.rect.top,
                                            event.modifiers & (kModifierCtrl | kModifierShift | kModifierAlt));
            case ControlKind::Button:
                FocusControl(window, c.layout.tabIndex > 0 ? index : -1, in);
                SetKeyboardCues(window, false, in);
                window.capture = index;
                c.pressed = true;
                RefreshControl(window, index, in.fonts);
                return {};
            case ControlKind::EditBox: {
                FocusControl(window, index, in);
                c.composition.clear();
                const size_t at = EditPositionAt(c, in.fonts, event.position.x - c.rect.left);
                c.edit->SetCaret(at, (event.modifiers & kModifierShift) != 0);
                window.selecting = true;
                EditChanged(window, index, in);
                return {};
            }
            case ControlKind::Label:
            case ControlKind::Timer:
                break;
        }
    }
    if (window.layout->dragByBackground) {
        window.dragging = true;
        window.dragPointerStart = event.screen;
        window.dragWindowStart = in.host.WindowPosition(window.host);
    }
    return {};
}

WindowReaction RouteMouseMove(Window& window, const HostEvent& event, InputServices in) {
    if (window.dragging) {
        in.host.MoveWindow(window.host, Point{window.dragWindowStart.x + event.screen.x - window.dragPointerStart.x,
                                              window.dragWindowStart.y + event.screen.y - window.dragPointerStart.y});
    } else if (window.capture >= 0) {
        Control& c = window.controls[static_cast<size_t>(window.capture)];
        const bool inside = c.rect.Contains(event.position.x, event.position.y);
        if (inside != c.pressed) {
            c.pressed = inside;
            RefreshControl(window, window.capture, in.fonts);
        }
    } else if (window.selecting && window.focus >= 0) {
        Control& c = window.controls[static_cast<size_t>(window.focus)];
        c.edit->SetCaret(EditPositionAt(c, in.fonts, event.position.x - c.rect.left), true);
        EditChanged(window, window.focus, in);
    }
    return WindowReaction::Fire(EventKind::MouseMoved, -1, event.position.x, event.position.y, event.modifiers & 7u);
}

WindowReaction RouteMouseUp(Window& window, const HostEvent& event, InputServices in) {
    if (event.button != MouseButton::Left) return {};
    window.dragging = false;
    window.selecting = false;
    if (window.capture < 0) return {};
    const int32_t index = window.capture;
    window.capture = -1;
    Control& c = window.controls[static_cast<size_t>(index)];
    const bool inside = c.visible && c.rect.Contains(event.position.x, event.position.y);
    c.pressed = false;
    RefreshControl(window, index, in.fonts);
    // The click counts only when the button is let go over it.
    if (inside) return WindowReaction::Fire(EventKind::Click, index);
    return {};
}

WindowReaction RouteKey(Window& window, const HostEvent& event, InputServices in) {
    // A key held down presses once: its repeats close, click and press nothing more.
    const bool press = !event.repeat;
    if (event.key == Key::Escape) {
        // Like the close box, also while the field has the focus; the main window ignores it.
        if (press && window.layout->escCloses) return WindowReaction::Close();
        return {};
    }
    if (event.key == Key::Tab) return MoveFocus(window, (event.modifiers & kModifierShift) != 0, in);
    if (event.key != Key::Other) {
        for (size_t i = 0; i < window.controls.size(); ++i) {
            const Control& c = window.controls[i];
            if (c.layout.kind != ControlKind::Button || c.layout.accessKey != event.key || !c.visible) continue;
            return press ? WindowReaction::Fire(EventKind::Click, static_cast<int32_t>(i)) : WindowReaction{};
        }
    }
    const Control* focused = window.focus >= 0 ? &window.controls[static_cast<size_t>(window.focus)] : nullptr;
    if (focused && focused->edit) return EditKey(window, event, in);
    switch (event.key) {
        case Key::Left:
            return SteerCursor(window, -1, 0, in);
        case Key::Right:
            return SteerCursor(window, 1, 0, in);
        case Key::Up:
            return SteerCursor(window, 0, -1, in);
        case Key::Down:
            return SteerCursor(window, 0, 1, in);
        case Key::Space:
            if (press && focused && focused->layout.kind == ControlKind::Button) {
                SetKeyboardCues(window, true, in);
                return WindowReaction::Fire(EventKind::Click, window.focus);
            }
            [[fallthrough]];
        case Key::Enter:
            // Enter presses no button: no window has a default one.
            if (press && focused && IsCursorPanel(*focused)) return PressUnderCursor(window, in);
            return {};
        default:
            return {};
    }
}

void RouteText(Window& window, const HostEvent& event, InputServices in) {
    if (window.focus < 0) return;
    Control& c = window.controls[static_cast<size_t>(window.focus)];
    if (!c.edit) return;
    if (event.kind == HostEventKind::TextEditing) {
        // A composition with no GBK form shows nothing; committing it will be refused as well.
        const Conversion gbk = Utf8ToGbk(event.text);
        c.composition = gbk.ok ? gbk.text : Text{};
    } else {
        c.composition.clear();
        if (const std::optional<Text> typed = TypedTextToGbk(event.text)) c.edit->Insert(*typed);
    }
    EditChanged(window, window.focus, in);
}

void FocusControl(Window& window, int32_t control, InputServices in) {
    if (window.focus == control) return;
    if (window.focus >= 0) {
        Control& old = window.controls[static_cast<size_t>(window.focus)];
        old.focused = false;
        old.focusShown = false;
        old.composition.clear();
        if (old.panel) {
            HideCursor(window, old);
        } else {
            RefreshControl(window, window.focus, in.fonts);
        }
        in.host.StopTextInput();
    }
    window.focus = control;
    if (control < 0) return;
    Control& c = window.controls[static_cast<size_t>(control)];
    c.focused = true;
    if (c.layout.kind == ControlKind::Button && window.keyboardCues) {
        c.focusShown = true;
        RefreshControl(window, control, in.fonts);
    }
    EditChanged(window, control, in);
}

int32_t FirstTabStop(const Window& window) {
    int32_t first = -1;
    for (size_t i = 0; i < window.controls.size(); ++i) {
        const Control& c = window.controls[i];
        if (!IsTabStop(c)) continue;
        if (first < 0 || c.layout.tabIndex < window.controls[static_cast<size_t>(first)].layout.tabIndex) {
            first = static_cast<int32_t>(i);
        }
    }
    return first;
}

void PlaceCursor(Window& window, int32_t panel, Point at) {
    Control& c = window.controls[static_cast<size_t>(panel)];
    if (!c.cursorShown || !IsCursorPanel(c)) return;
    const Size grid = CursorGrid(c);
    const int32_t cell = c.layout.cursorCell;
    const Point moved{std::clamp(at.x / cell, 0, grid.width - 1), std::clamp(at.y / cell, 0, grid.height - 1)};
    if (moved == c.cursor) return;
    MarkStale(window, CursorCellRect(c));
    c.cursor = moved;
    MarkStale(window, CursorCellRect(c));
}

void EditChanged(Window& window, int32_t control, InputServices in) {
    Control& c = window.controls[static_cast<size_t>(control)];
    if (!c.edit) return;
    KeepCaretVisible(c, in.fonts);
    RefreshControl(window, control, in.fonts);
    if (c.focused) {
        Rect caret = EditCaretRect(c, in.fonts);
        caret.left += c.rect.left;
        caret.top += c.rect.top;
        in.host.StartTextInput(window.host, caret);
    }
}

}  // namespace kelvora
