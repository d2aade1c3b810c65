// Routing input to a window's controls.
#include "platform/input_routing.h"

#include "base/system/codepage.h"
#include "platform/host/font_service.h"
#include "platform/presenting.h"

namespace kelvora {

WindowReaction RouteMouseDown(Window& window, const HostEvent& event, InputServices in) {
    if (event.button != MouseButton::Left) return {};
    const int32_t index = ControlAt(window, event.position);
    if (index >= 0) {
        Control& c = window.controls[static_cast<size_t>(index)];
        switch (c.layout.kind) {
            case ControlKind::DrawPanel:
                return WindowReaction::Fire(EventKind::LeftButtonDown, index, event.position.x - c.rect.left,
                                            event.position.y - c.rect.top,
                                            event.modifiers & (kModifierCtrl | kModifierShift | kModifierAlt));
            case ControlKind::Button:
                FocusControl(window, -1, in);
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
    if (event.key == Key::Escape) {
        // Like the close box, also while the field has the focus; the main window ignores it. A
        // held Esc closes once, not every window that opens while it is down.
        if (!event.repeat && window.layout->escCloses) return WindowReaction::Close();
        return {};
    }
    if (window.focus < 0) return {};
    Control& c = window.controls[static_cast<size_t>(window.focus)];
    if (!c.edit) return {};
    EditText& edit = *c.edit;
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
            // Enter presses nothing: the window has no default button.
            return {};
    }
    EditChanged(window, window.focus, in);
    return {};
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
        old.composition.clear();
        RefreshControl(window, window.focus, in.fonts);
        in.host.StopTextInput();
    }
    window.focus = control;
    if (control < 0) return;
    window.controls[static_cast<size_t>(control)].focused = true;
    EditChanged(window, control, in);
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
