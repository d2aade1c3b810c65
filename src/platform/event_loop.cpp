// The event loop: waiting for input or the next timer, timer ticks, and each input event handed
// to its window, with what the window asks for carried out.
#include "platform/runtime.h"

#include <algorithm>
#include <climits>

#include "platform/input_routing.h"

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
    const InputServices in{*host_, fonts_};
    WindowReaction reaction;
    switch (event.kind) {
        case HostEventKind::CloseRequest:
            reaction = WindowReaction::Close();
            break;
        case HostEventKind::MouseDown:
            reaction = RouteMouseDown(*window, event, in);
            break;
        case HostEventKind::MouseMove:
            reaction = RouteMouseMove(*window, event, in);
            break;
        case HostEventKind::MouseUp:
            reaction = RouteMouseUp(*window, event, in);
            break;
        case HostEventKind::KeyDown:
            reaction = RouteKey(*window, event, in);
            break;
        case HostEventKind::TextInput:
        case HostEventKind::TextEditing:
            RouteText(*window, event, in);
            break;
        case HostEventKind::Quit:
        case HostEventKind::Exposed:
            break;
    }
    switch (reaction.kind) {
        case WindowReaction::Kind::None:
            return;
        case WindowReaction::Kind::Fire:
            Fire(window->id, reaction.control, reaction.event, reaction.x, reaction.y, reaction.flags);
            return;
        case WindowReaction::Kind::Close:
            Destroy(window->id);
            return;
    }
}

}  // namespace kelvora
