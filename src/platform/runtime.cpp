// The runtime's handlers by name, windows and controls: loading and closing windows, properties,
// tags, redraw locking and presenting what changed.
#include "platform/runtime.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/fatal.h"
#include "platform/fatal_report.h"
#include "platform/input_routing.h"
#include "platform/presenting.h"
#include "platform/sound.h"

namespace kelvora {
namespace {

#ifdef NDEBUG
constexpr bool kStopOnBindingMistakes = false;
#else
constexpr bool kStopOnBindingMistakes = true;
#endif

// A handler name registered twice or bound to nothing is a mistake in our own code, never the
// player's: a debug build stops on it at once and names it, so that it cannot hide as a button
// that does nothing.
void StopOnBindingMistake(const char* what, std::string_view name) {
    if (!kStopOnBindingMistakes) return;
    std::fprintf(stderr, "Kelvora: %s: %.*s\n", what, static_cast<int>(name.size()), name.data());
    std::abort();
}

}  // namespace

Runtime::Runtime(std::unique_ptr<Host> host) : host_(std::move(host)) {
    lastTick_ = host_->TickMs();
    // Placing a window over the main one needs nothing of the game, so every runtime offers it to
    // the layouts that bind it: the game's, the tests' and the benchmarks' alike.
    RegisterHandler(handlers::kCentreOnMainWindow, [](const EventArgs& e) { e.runtime.CentreOnMainWindow(e.window); });
    previousFatalBox_ = SetFatalMessageBox([this](const std::string& text) { ShowFatalReport(text); });
}

Runtime::~Runtime() {
    SetFatalMessageBox(std::move(previousFatalBox_));
    for (auto& [id, window] : windows_) host_->CloseWindow(window->host);
}

bool Runtime::RegisterHandler(std::string_view name, EventHandler handler) {
    if (handlers_.contains(name)) {
        StopOnBindingMistake("handler registered twice", name);
        return false;
    }
    handlers_.emplace(Text(name), std::move(handler));
    return true;
}

std::vector<Text> Runtime::UnboundHandlers(const WindowLayout& layout) const {
    std::vector<Text> unbound;
    auto check = [&](const std::vector<EventBinding>& bindings) {
        for (const EventBinding& binding : bindings) {
            const auto it = handlers_.find(binding.handler);
            const bool bound = it != handlers_.end() && it->second;
            if (!bound && std::find(unbound.begin(), unbound.end(), binding.handler) == unbound.end()) {
                unbound.push_back(binding.handler);
            }
        }
    };
    check(layout.bindings);
    for (const ControlLayout& control : layout.controls) check(control.bindings);
    return unbound;
}

void Runtime::ShowFatalReport(const Text& text) {
    const Text title = "Kelvora";
    if (host_->ShowSystemErrorBox(title, text)) return;
    // Over the topmost window that shows, so that the window manager keeps the report in front.
    HostWindowId owner = 0;
    for (auto it = openOrder_.rbegin(); it != openOrder_.rend() && owner == 0; ++it) {
        const Window* window = Find(*it);
        if (window && window->shown) owner = window->host;
    }
    // Without a font the report shows no text, and without a window nothing at all: the terminal
    // still gets the text.
    const bool textShown = fonts_.HasFonts();
    if (!textShown) WriteFatalReportToStandardError(text);
    if (!kelvora::ShowFatalReport(*host_, fonts_, title, text, owner) && textShown) WriteFatalReportToStandardError(text);
}

Window* Runtime::Find(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.get();
}

const Window* Runtime::Find(WindowId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.get();
}

Control* Runtime::FindControl(ControlRef ref) {
    Window* window = Find(ref.window);
    if (!window || ref.index < 0 || static_cast<size_t>(ref.index) >= window->controls.size()) return nullptr;
    return &window->controls[static_cast<size_t>(ref.index)];
}

const Control* Runtime::FindControl(ControlRef ref) const {
    const Window* window = Find(ref.window);
    if (!window || ref.index < 0 || static_cast<size_t>(ref.index) >= window->controls.size()) return nullptr;
    return &window->controls[static_cast<size_t>(ref.index)];
}

Window* Runtime::FindByHost(HostWindowId host) {
    for (auto& [id, window] : windows_) {
        if (window->host == host) return window.get();
    }
    return nullptr;
}

bool Runtime::IsOpen(WindowRef window) const { return Find(window.id) != nullptr; }

WindowRef Runtime::TopWindow() const { return WindowRef{openOrder_.empty() ? 0 : openOrder_.back()}; }

HostWindowId Runtime::HostWindowOf(WindowRef window) const {
    const Window* w = Find(window.id);
    return w ? w->host : 0;
}

const Control* Runtime::ControlState(ControlRef control) const { return FindControl(control); }

const Window* Runtime::WindowState(WindowRef window) const { return Find(window.id); }

int64_t Runtime::Now() {
    const uint32_t tick = host_->TickMs();
    nowMs_ += static_cast<uint32_t>(tick - lastTick_);
    lastTick_ = tick;
    return nowMs_;
}

uint32_t Runtime::TickMs() { return host_->TickMs(); }

void Runtime::Call(const Text& handler, const EventArgs& args) {
    auto it = handlers_.find(handler);
    if (it == handlers_.end() || !it->second) return;
    // A copy: the handler may register handlers while it runs.
    EventHandler call = it->second;
    ++handlerDepth_;
    call(args);
    --handlerDepth_;
}

void Runtime::Fire(WindowId windowId, int32_t control, EventKind event, int32_t x, int32_t y, uint32_t flags) {
    const Window* window = Find(windowId);
    if (!window) return;
    const std::vector<EventBinding>& bindings =
        control < 0 ? window->layout->bindings : window->controls[static_cast<size_t>(control)].layout.bindings;
    for (const EventBinding& binding : bindings) {
        if (binding.event != event) continue;
        const Text handler = binding.handler;
        Call(handler, EventArgs{*this, event, WindowRef{windowId}, control < 0 ? ControlRef{} : ControlRef{windowId, control},
                                x, y, flags});
        return;
    }
}

WindowRef Runtime::LoadWindow(const WindowLayout& layout, WindowRef parent, bool modal) {
    if (ended_) return WindowRef{};
    if (kStopOnBindingMistakes) {
        for (const Text& name : UnboundHandlers(layout)) StopOnBindingMistake("no handler registered under", name);
    }
    // Whatever the opening handler drew is on the screen before the new window covers it.
    Present();

    auto owned = std::make_unique<Window>();
    Window& window = *owned;
    window.id = nextWindowId_++;
    window.layout = &layout;
    // A modal window without a parent of its own holds the main window.
    if (modal && !Find(parent.id)) parent = WindowRef{mainWindow_};
    window.parent = Find(parent.id) ? parent.id : 0;
    const FrameSizes frame = host_->TypicalFrame();
    window.client = Size{std::max(layout.width - frame.left - frame.right, 1),
                         std::max(layout.height - frame.top - frame.bottom, 1)};
    const Size screen = host_->ScreenSize();
    HostWindowSpec request;
    request.title = layout.caption;
    request.client = window.client;
    request.outerTopLeft = Point{(screen.width - layout.width) / 2, (screen.height - layout.height) / 2};
    request.minimizeBox = layout.minimizeBox;
    request.parent = window.parent ? Find(window.parent)->host : 0;
    window.host = host_->OpenWindow(request);

    const int64_t now = Now();
    window.controls.reserve(layout.controls.size());
    for (const ControlLayout& control : layout.controls) window.controls.push_back(MakeControl(control, fonts_, now));
    window.focus = FirstTabStop(window);
    ResetFramebuffer(window);

    const WindowId id = window.id;
    windows_[id] = std::move(owned);
    openOrder_.push_back(id);
    if (mainWindow_ == 0) mainWindow_ = id;

    Fire(id, -1, EventKind::Created);
    ProcessPendingCloses();
    Window* created = Find(id);
    if (!created || ended_) return WindowRef{};

    // The keyboard starts on the first control Tab visits. A field that takes typing starts with
    // its text selected, so a new name simply replaces it.
    if (created->focus >= 0) {
        const int32_t focus = created->focus;
        created->focus = -1;
        FocusControl(*created, focus, InputServices{*host_, fonts_});
        if (Control& c = created->controls[static_cast<size_t>(focus)]; c.edit) {
            c.edit->SelectAll();
            EditChanged(*created, focus, InputServices{*host_, fonts_});
        }
    }
    host_->ShowWindow(created->host);
    created->shown = true;
    Flush(*created);

    if (modal) {
        const WindowId parentId = created->parent;
        Window* owner = Find(parentId);
        if (owner) {
            ++owner->disabled;
            owner->dragging = false;
            owner->capture = -1;
        }
        RunLoop([this, id] { return Find(id) == nullptr; }, -1);
        if (Window* stillThere = Find(parentId)) --stillThere->disabled;
        return IsOpen(WindowRef{id}) ? WindowRef{id} : WindowRef{};
    }
    return WindowRef{id};
}

void Runtime::CloseWindow(WindowRef window) {
    Window* w = Find(window.id);
    if (!w) return;
    w->closePending = true;
    if (handlerDepth_ == 0 && loopDepth_ == 0) ProcessPendingCloses();
}

void Runtime::ProcessPendingCloses() {
    for (;;) {
        WindowId pending = 0;
        for (auto& [id, window] : windows_) {
            if (window->closePending) {
                pending = id;
                break;
            }
        }
        if (pending == 0) return;
        Destroy(pending);
    }
}

void Runtime::Destroy(WindowId id) {
    Window* window = Find(id);
    if (!window) return;
    if (window->focus >= 0) host_->StopTextInput();
    host_->CloseWindow(window->host);
    if (lockedWindow_ == id) lockedWindow_ = 0;
    windows_.erase(id);
    openOrder_.erase(std::remove(openOrder_.begin(), openOrder_.end(), id), openOrder_.end());
    // The keyboard goes back to where it was in the window now on top.
    if (Window* top = Find(TopWindow().id); top && top->focus >= 0) {
        const int32_t focus = top->focus;
        top->focus = -1;
        FocusControl(*top, focus, InputServices{*host_, fonts_});
    }
    if (id == mainWindow_) MainWindowGone();
}

void Runtime::MainWindowGone() {
    ended_ = true;
    // Every other window goes with the main one.
    while (!windows_.empty()) {
        auto it = windows_.begin();
        host_->CloseWindow(it->second->host);
        windows_.erase(it);
    }
    openOrder_.clear();
    if ((handlerDepth_ > 0 || loopDepth_ > 1) && endHook_) endHook_();
}

// --- Presenting ---

void Runtime::Flush(Window& window) { FlushWindow(window, *host_, lockedWindow_ == window.id); }

void Runtime::Present() {
    for (auto& [id, window] : windows_) Flush(*window);
}

void Runtime::LockRedraw(WindowRef window) {
    if (!Find(window.id)) return;
    // One window at a time can be locked; locking another releases the first.
    if (lockedWindow_ != 0 && lockedWindow_ != window.id) UnlockRedraw();
    if (Window* w = Find(window.id)) {
        Flush(*w);
        lockedWindow_ = window.id;
    }
}

void Runtime::UnlockRedraw() {
    const WindowId locked = lockedWindow_;
    lockedWindow_ = 0;
    if (Window* w = Find(locked)) Flush(*w);
}

void Runtime::SleepMs(int32_t ms) {
    if (ended_) return;
    Present();
    host_->SleepMs(ms < 0 ? 0 : ms);
}

int32_t Runtime::PlaySound(std::span<const uint8_t> clip) { return kelvora::PlaySound(*host_, clip); }

// --- Controls ---

ControlRef Runtime::ControlByName(WindowRef window, std::string_view name) const {
    const Window* w = Find(window.id);
    if (!w) return ControlRef{};
    for (size_t i = 0; i < w->controls.size(); ++i) {
        if (w->controls[i].layout.name == name) return ControlRef{window.id, static_cast<int32_t>(i)};
    }
    return ControlRef{};
}

ControlRef Runtime::ControlByTag(WindowRef window, int32_t n) {
    if (const Window* w = Find(window.id)) {
        for (size_t i = 0; i < w->controls.size(); ++i) {
            const Text& tag = w->controls[i].layout.tag;
            // An empty tag is no tag, even though it would read as 0.
            if (tag.empty()) continue;
            if (ToNumber(tag) == static_cast<double>(n)) return ControlRef{window.id, static_cast<int32_t>(i)};
        }
    }
    FatalError("未找到指定标记的组件");
}

void Runtime::PlaceCursor(ControlRef panel, Point at) {
    Window* window = Find(panel.window);
    if (!window || !FindControl(panel)) return;
    kelvora::PlaceCursor(*window, panel.index, at);
}

DrawPanel* Runtime::Panel(ControlRef control) {
    Control* c = FindControl(control);
    return c ? c->panel.get() : nullptr;
}

int32_t Runtime::GetProperty(ControlRef control, Property property) const {
    const Control* c = FindControl(control);
    if (!c) return 0;
    switch (property) {
        case Property::Left:
            return c->rect.left;
        case Property::Top:
            return c->rect.top;
        case Property::Width:
            return c->rect.width;
        case Property::Height:
            return c->rect.height;
        case Property::Visible:
            return c->visible ? 1 : 0;
        case Property::Interval:
            return c->timer.interval;
        case Property::AutoRedraw:
            return c->panel && c->panel->AutoRedraw() ? 1 : 0;
        case Property::PenWidth:
            return c->panel ? c->panel->PenWidth() : 0;
        case Property::PenColour:
            return c->panel ? static_cast<int32_t>(c->panel->PenColour()) : 0;
        case Property::BrushType:
            return c->panel ? c->panel->Brush() : 0;
        case Property::BrushColour:
            return c->panel ? static_cast<int32_t>(c->panel->BrushColour()) : 0;
        case Property::TextColour:
            return static_cast<int32_t>(c->panel ? c->panel->TextColour() : c->layout.textColour);
        case Property::Caption:
        case Property::Text:
            return 0;
    }
    return 0;
}

Text Runtime::GetTextProperty(ControlRef control, Property property) const {
    const Control* c = FindControl(control);
    if (!c) return Text{};
    if (property == Property::Text && c->edit) return c->edit->Value();
    if (property == Property::Caption || property == Property::Text) return c->edit ? c->edit->Value() : c->caption;
    return Text{};
}

void Runtime::SetProperty(ControlRef control, Property property, int32_t value) {
    Window* window = Find(control.window);
    Control* c = FindControl(control);
    if (!window || !c) return;
    Rect moved = c->rect;
    switch (property) {
        case Property::Left:
            moved.left = value;
            break;
        case Property::Top:
            moved.top = value;
            break;
        case Property::Width:
            moved.width = std::max(value, 0);
            break;
        case Property::Height:
            moved.height = std::max(value, 0);
            break;
        case Property::Visible: {
            const bool visible = value != 0;
            if (visible == c->visible) return;
            c->visible = visible;
            if (c->Drawn()) MarkStale(*window, c->rect);
            if (!visible && window->focus == control.index) {
                host_->StopTextInput();
                c->focused = false;
                window->focus = -1;
            }
            return;
        }
        case Property::Interval:
            if (c->layout.kind == ControlKind::Timer) SetTimerInterval(c->timer, value, Now());
            return;
        case Property::AutoRedraw:
            if (c->panel) c->panel->SetAutoRedraw(value != 0);
            return;
        case Property::PenWidth:
            if (c->panel) c->panel->SetPenWidth(value);
            return;
        case Property::PenColour:
            if (c->panel) c->panel->SetPenColour(static_cast<uint32_t>(value));
            return;
        case Property::BrushType:
            if (c->panel) c->panel->SetBrush(value);
            return;
        case Property::BrushColour:
            if (c->panel) c->panel->SetBrushColour(static_cast<uint32_t>(value));
            return;
        case Property::TextColour:
            if (c->panel) {
                c->panel->SetTextColour(static_cast<uint32_t>(value));
            } else if (c->layout.kind == ControlKind::Label) {
                c->layout.textColour = static_cast<uint32_t>(value);
                RefreshControl(*window, control.index, fonts_);
            }
            return;
        case Property::Caption:
        case Property::Text:
            return;
    }
    if (moved == c->rect) return;
    if (c->visible && c->Drawn()) MarkStale(*window, c->rect);
    const bool resized = moved.width != c->rect.width || moved.height != c->rect.height;
    c->rect = moved;
    if (resized) {
        if (c->panel) c->panel->SetSize(moved.width, moved.height);
        RenderControl(*c, fonts_);
    }
    if (c->visible && c->Drawn()) MarkStale(*window, c->rect);
}

void Runtime::SetProperty(ControlRef control, Property property, std::string_view value) {
    Window* window = Find(control.window);
    Control* c = FindControl(control);
    if (!window || !c || (property != Property::Caption && property != Property::Text)) return;
    if (c->edit) {
        c->edit->SetValue(Text(value));
        c->composition.clear();
        c->scrollStart = 0;
        EditChanged(*window, control.index, InputServices{*host_, fonts_});
        return;
    }
    if (c->layout.kind != ControlKind::Label && c->layout.kind != ControlKind::Button) return;
    if (c->caption == value) return;
    c->caption = Text(value);
    RefreshControl(*window, control.index, fonts_);
}

// --- Windows ---

int32_t Runtime::ClientWidth(WindowRef window) const {
    const Window* w = Find(window.id);
    return w ? w->client.width : 0;
}

int32_t Runtime::ClientHeight(WindowRef window) const {
    const Window* w = Find(window.id);
    return w ? w->client.height : 0;
}

bool Runtime::SetColourKey(WindowRef window, uint32_t colour) {
    return host_->SetColourKey(HostWindowOf(window), colour);
}

int32_t Runtime::GetProperty(WindowRef window, Property property) {
    Window* w = Find(window.id);
    if (!w) return 0;
    const FrameSizes frame = host_->FrameOf(w->host);
    const Point at = host_->WindowPosition(w->host);
    switch (property) {
        case Property::Left:
            return at.x;
        case Property::Top:
            return at.y;
        case Property::Width:
            return w->client.width + frame.left + frame.right;
        case Property::Height:
            return w->client.height + frame.top + frame.bottom;
        case Property::Visible:
            return w->shown ? 1 : 0;
        default:
            return 0;
    }
}

void Runtime::SetProperty(WindowRef window, Property property, int32_t value) {
    Window* w = Find(window.id);
    if (!w) return;
    const FrameSizes frame = host_->FrameOf(w->host);
    const Point at = host_->WindowPosition(w->host);
    switch (property) {
        case Property::Left:
            host_->MoveWindow(w->host, Point{value, at.y});
            return;
        case Property::Top:
            host_->MoveWindow(w->host, Point{at.x, value});
            return;
        case Property::Width:
            ResizeClient(*w, Size{value - frame.left - frame.right, w->client.height}, *host_);
            return;
        case Property::Height:
            ResizeClient(*w, Size{w->client.width, value - frame.top - frame.bottom}, *host_);
            return;
        default:
            return;
    }
}

void Runtime::CentreOnMainWindow(WindowRef window) {
    if (!Find(mainWindow_) || !Find(window.id)) return;
    const WindowRef main{mainWindow_};
    // The window's own size is its layout's: what its frame measures before the window manager
    // has framed it is not known yet. The main window's rectangle is the real one.
    // C++ division truncates toward zero, as the placement rule wants for a wider window too.
    const WindowLayout& layout = *Find(window.id)->layout;
    const int32_t left = GetProperty(main, Property::Left) + (GetProperty(main, Property::Width) - layout.width) / 2;
    const int32_t top = GetProperty(main, Property::Top) + (GetProperty(main, Property::Height) - layout.height) / 2;
    host_->MoveWindow(Find(window.id)->host, Point{left, top});
}

}  // namespace kelvora
