// The event loop: waiting for input or the next timer, timer ticks, and the input of windows and
// their controls (panel presses, button clicks, the edit box, dragging the main window, Esc).
#include "platform/runtime.h"

#include <algorithm>
#include <climits>

#include "base/gbk.h"

namespace kelvora {

void Runtime::RunEventLoop() { RunLoop([] { return false; }, -1); }

void Runtime::RunFor(int32_t ms) { RunLoop([] { return false; }, Now() + std::max(ms, 0)); }

bool Runtime::RunUntil(const std::function<bool()>& done, int32_t maxMs) {
    RunLoop(done, Now() + std::max(maxMs, 0));
    return done();
}

void Runtime::RunLoop(const std::function<bool()>& stop, int64_t deadlineMs) {
    ++loopDepth_;
    while (!ended_) {
        ProcessPendingCloses();
        if (ended_) break;
        Present();
        if (stop()) break;
        const int64_t now = Now();
        if (deadlineMs >= 0 && now >= deadlineMs) break;
        // Sleep until input comes or the next timer is due: never spin.
        int64_t wait = -1;
        const int64_t due = NextTimerDue();
        if (due >= 0) wait = std::max<int64_t>(due - now, 0);
        if (deadlineMs >= 0) wait = wait < 0 ? deadlineMs - now : std::min(wait, deadlineMs - now);
        HostEvent event;
        if (host_->WaitEvent(event, static_cast<int32_t>(std::min<int64_t>(wait, INT32_MAX)))) HandleEvent(event);
        ProcessPendingCloses();
        DeliverDueTimers();
    }
    --loopDepth_;
}

int64_t Runtime::NextTimerDue() const {
    int64_t next = -1;
    for (const auto& [id, window] : windows_) {
        for (const Control& c : window->controls) {
            if (!c.timer.Running() || c.ticking) continue;
            if (next < 0 || c.timer.nextDueMs < next) next = c.timer.nextDueMs;
        }
    }
    return next;
}

bool Runtime::DeliverDueTimers() {
    if (ended_) return false;
    const int64_t now = Now();
    struct Due {
        int64_t at;
        WindowId window;
        int32_t control;
    };
    std::vector<Due> due;
    for (const auto& [id, window] : windows_) {
        for (size_t i = 0; i < window->controls.size(); ++i) {
            const Control& c = window->controls[i];
            if (!c.ticking && TimerDue(c.timer, now)) due.push_back(Due{c.timer.nextDueMs, id, static_cast<int32_t>(i)});
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) { return a.at < b.at; });
    for (const Due& d : due) {
        if (ended_) break;
        Control* c = FindControl(ControlRef{d.window, d.control});
        // An earlier tick's handler may have stopped or changed this timer.
        if (!c || c->ticking || !TimerDue(c->timer, now)) continue;
        // One tick however late it is; the next is one interval after this one.
        TimerTicked(c->timer, now);
        c->ticking = true;
        Fire(d.window, d.control, EventKind::Tick);
        if (Control* after = FindControl(ControlRef{d.window, d.control})) after->ticking = false;
        ProcessPendingCloses();
    }
    return !due.empty();
}

void Runtime::HandleEvent(const HostEvent& event) {
    if (event.kind == HostEventKind::Quit) {
        if (Find(mainWindow_)) {
            Destroy(mainWindow_);
        } else {
            ended_ = true;
        }
        return;
    }
    Window* window = FindByHost(event.window);
    if (!window) return;
    if (event.kind == HostEventKind::Exposed) {
        AddArea(window->unshown, Rect{0, 0, window->client.width, window->client.height});
        return;
    }
    // A window under a modal one takes no input at all, its close box included.
    if (window->disabled > 0) return;
    switch (event.kind) {
        case HostEventKind::CloseRequest:
            Destroy(window->id);
            return;
        case HostEventKind::MouseDown:
            HandleMouseDown(*window, event);
            return;
        case HostEventKind::MouseMove:
            HandleMouseMove(*window, event);
            return;
        case HostEventKind::MouseUp:
            HandleMouseUp(*window, event);
            return;
        case HostEventKind::KeyDown:
            HandleKey(*window, event);
            return;
        case HostEventKind::TextInput:
        case HostEventKind::TextEditing:
            HandleText(*window, event);
            return;
        case HostEventKind::Quit:
        case HostEventKind::Exposed:
            return;
    }
}

void Runtime::HandleMouseDown(Window& window, const HostEvent& event) {
    if (event.button != MouseButton::Left) return;
    const int32_t index = ControlAt(window, event.position);
    if (index >= 0) {
        Control& c = window.controls[static_cast<size_t>(index)];
        switch (c.layout.kind) {
            case ControlKind::DrawPanel:
                Fire(window.id, index, EventKind::LeftButtonDown, event.position.x - c.rect.left,
                     event.position.y - c.rect.top, event.modifiers & (kModifierCtrl | kModifierShift | kModifierAlt));
                return;
            case ControlKind::Button:
                SetFocus(window, -1);
                window.capture = index;
                c.pressed = true;
                Refresh(window, index);
                return;
            case ControlKind::EditBox: {
                SetFocus(window, index);
                c.composition.clear();
                const size_t at = EditPositionAt(c, fonts_, event.position.x - c.rect.left);
                c.edit->SetCaret(at, (event.modifiers & kModifierShift) != 0);
                window.selecting = true;
                EditChanged(window, index);
                return;
            }
            case ControlKind::Label:
            case ControlKind::Timer:
                break;
        }
    }
    if (window.layout->dragByBackground) {
        window.dragging = true;
        window.dragPointerStart = event.screen;
        window.dragWindowStart = host_->WindowPosition(window.host);
    }
}

void Runtime::HandleMouseMove(Window& window, const HostEvent& event) {
    if (window.dragging) {
        host_->MoveWindow(window.host, Point{window.dragWindowStart.x + event.screen.x - window.dragPointerStart.x,
                                             window.dragWindowStart.y + event.screen.y - window.dragPointerStart.y});
    } else if (window.capture >= 0) {
        Control& c = window.controls[static_cast<size_t>(window.capture)];
        const bool inside = c.rect.Contains(event.position.x, event.position.y);
        if (inside != c.pressed) {
            c.pressed = inside;
            Refresh(window, window.capture);
        }
    } else if (window.selecting && window.focus >= 0) {
        Control& c = window.controls[static_cast<size_t>(window.focus)];
        c.edit->SetCaret(EditPositionAt(c, fonts_, event.position.x - c.rect.left), true);
        EditChanged(window, window.focus);
    }
    const WindowId id = window.id;
    Fire(id, -1, EventKind::MouseMoved, event.position.x, event.position.y, event.modifiers & 7u);
}

void Runtime::HandleMouseUp(Window& window, const HostEvent& event) {
    if (event.button != MouseButton::Left) return;
    window.dragging = false;
    window.selecting = false;
    if (window.capture < 0) return;
    const int32_t index = window.capture;
    window.capture = -1;
    Control& c = window.controls[static_cast<size_t>(index)];
    const bool inside = c.visible && c.rect.Contains(event.position.x, event.position.y);
    c.pressed = false;
    Refresh(window, index);
    // The click counts only when the button is let go over it.
    if (inside) Fire(window.id, index, EventKind::Click);
}

void Runtime::HandleKey(Window& window, const HostEvent& event) {
    if (event.key == Key::Escape) {
        // Like the close box, also while the field has the focus; the main window ignores it.
        if (window.layout->escCloses) Destroy(window.id);
        return;
    }
    if (window.focus < 0) return;
    Control& c = window.controls[static_cast<size_t>(window.focus)];
    if (!c.edit) return;
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
            if (!ctrl) return;
            edit.SelectAll();
            break;
        case Key::C:
        case Key::X: {
            if (!ctrl || !edit.HasSelection()) return;
            const Conversion utf8 = GbkToUtf8(edit.SelectedText());
            if (utf8.ok) host_->SetClipboardText(utf8.text);
            if (event.key == Key::X) edit.CutSelection();
            break;
        }
        case Key::V: {
            if (!ctrl) return;
            const std::optional<Text> pasted = PastedTextToGbk(host_->ClipboardText());
            if (!pasted) return;
            edit.Insert(*pasted);
            break;
        }
        default:
            // Enter presses nothing: the window has no default button.
            return;
    }
    EditChanged(window, window.focus);
}

void Runtime::HandleText(Window& window, const HostEvent& event) {
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
    EditChanged(window, window.focus);
}

void Runtime::SetFocus(Window& window, int32_t control) {
    if (window.focus == control) return;
    if (window.focus >= 0) {
        Control& old = window.controls[static_cast<size_t>(window.focus)];
        old.focused = false;
        old.composition.clear();
        Refresh(window, window.focus);
        host_->StopTextInput();
    }
    window.focus = control;
    if (control < 0) return;
    window.controls[static_cast<size_t>(control)].focused = true;
    EditChanged(window, control);
}

void Runtime::EditChanged(Window& window, int32_t control) {
    Control& c = window.controls[static_cast<size_t>(control)];
    if (!c.edit) return;
    KeepCaretVisible(c, fonts_);
    Refresh(window, control);
    if (c.focused) {
        Rect caret = EditCaretRect(c, fonts_);
        caret.left += c.rect.left;
        caret.top += c.rect.top;
        host_->StartTextInput(window.host, caret);
    }
}

}  // namespace kelvora
