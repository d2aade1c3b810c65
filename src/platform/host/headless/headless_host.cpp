// The headless host: windows as framebuffers, virtual time and input from a script.
#include "platform/host/headless/headless_host.h"

#include <algorithm>
#include <cstdio>

#include "base/fatal.h"

namespace kelvora {

HeadlessHost::HeadlessHost() = default;

HeadlessHost::WindowState* HeadlessHost::Find(HostWindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() || !it->second.open ? nullptr : &it->second;
}

const HeadlessHost::WindowState* HeadlessHost::Window(HostWindowId window) const {
    auto it = windows_.find(window);
    return it == windows_.end() || !it->second.open ? nullptr : &it->second;
}

HostWindowId HeadlessHost::OpenWindow(const HostWindowSpec& request) {
    const HostWindowId id = nextId_++;
    WindowState& state = windows_[id];
    state.title = request.title;
    state.client = Size{std::max(request.client.width, 1), std::max(request.client.height, 1)};
    state.outerTopLeft = request.outerTopLeft;
    state.minimizeBox = request.minimizeBox;
    state.parent = request.parent;
    state.screen.assign(static_cast<size_t>(state.client.width) * static_cast<size_t>(state.client.height), 0);
    openOrder_.push_back(id);
    return id;
}

void HeadlessHost::ShowWindow(HostWindowId window) {
    if (WindowState* state = Find(window)) state->visible = true;
}

void HeadlessHost::CloseWindow(HostWindowId window) {
    WindowState* state = Find(window);
    if (!state) return;
    state->open = false;
    state->visible = false;
    state->screen.clear();
    openOrder_.erase(std::remove(openOrder_.begin(), openOrder_.end(), window), openOrder_.end());
    if (textInputWindow_ == window) textInputWindow_ = 0;
}

void HeadlessHost::MoveWindow(HostWindowId window, Point outerTopLeft) {
    if (WindowState* state = Find(window)) state->outerTopLeft = outerTopLeft;
}

void HeadlessHost::ResizeWindow(HostWindowId window, Size client) {
    WindowState* state = Find(window);
    if (!state) return;
    client = Size{std::max(client.width, 1), std::max(client.height, 1)};
    std::vector<uint32_t> screen(static_cast<size_t>(client.width) * static_cast<size_t>(client.height), 0);
    const int32_t w = std::min(client.width, state->client.width);
    const int32_t h = std::min(client.height, state->client.height);
    for (int32_t y = 0; y < h; ++y) {
        std::copy_n(state->screen.begin() + static_cast<ptrdiff_t>(y) * state->client.width, w,
                    screen.begin() + static_cast<ptrdiff_t>(y) * client.width);
    }
    state->screen = std::move(screen);
    state->client = client;
}

Point HeadlessHost::WindowPosition(HostWindowId window) {
    const WindowState* state = Find(window);
    return state ? state->outerTopLeft : Point{};
}

FrameSizes HeadlessHost::FrameOf(HostWindowId window) { return Find(window) ? kFrame : FrameSizes{}; }

void HeadlessHost::Present(HostWindowId window, const uint32_t* pixels, int32_t stride, Size size,
                           const std::vector<Rect>& areas) {
    WindowState* state = Find(window);
    if (!state || !pixels) return;
    const Rect bounds = Intersect(Rect{0, 0, size.width, size.height},
                                  Rect{0, 0, state->client.width, state->client.height});
    for (const Rect& area : areas) {
        const Rect r = Intersect(area, bounds);
        for (int32_t y = r.top; y < r.Bottom(); ++y) {
            std::copy_n(pixels + static_cast<ptrdiff_t>(y) * stride + r.left, r.width,
                        state->screen.begin() + static_cast<ptrdiff_t>(y) * state->client.width + r.left);
        }
    }
    state->lastAreas = areas;
    ++state->presentCount;
}

void HeadlessHost::CheckBudget() const {
    if (clock_.NowMs() > budgetMs_) throw HeadlessStall("virtual time ran past the test's budget");
}

void HeadlessHost::SleepMs(int32_t ms) {
    clock_.SleepMs(ms);
    CheckBudget();
}

HostWindowId HeadlessHost::ActiveWindow() const { return openOrder_.empty() ? 0 : openOrder_.back(); }

std::vector<HostWindowId> HeadlessHost::OpenWindows() const { return openOrder_; }

Point HeadlessHost::ClientOrigin(HostWindowId window) const {
    const WindowState* state = Window(window);
    if (!state) return Point{};
    return Point{state->outerTopLeft.x + kFrame.left, state->outerTopLeft.y + kFrame.top};
}

bool HeadlessHost::Resolve(HostEvent& event) const {
    if (event.window == 0) event.window = ActiveWindow();
    return Window(event.window) != nullptr || event.kind == HostEventKind::Quit;
}

bool HeadlessHost::WaitEvent(HostEvent& event, int32_t timeoutMs) {
    const int64_t deadline = timeoutMs < 0 ? -1 : clock_.NowMs() + timeoutMs;
    bool idleCalled = false;
    for (;;) {
        CheckBudget();
        if (pauseUntilMs_ >= 0) {
            if (deadline >= 0 && deadline < pauseUntilMs_) {
                clock_.Advance(deadline - clock_.NowMs());
                return false;
            }
            clock_.Advance(pauseUntilMs_ - clock_.NowMs());
            pauseUntilMs_ = -1;
            continue;
        }
        if (!script_.empty()) {
            Step step = std::move(script_.front());
            script_.pop_front();
            switch (step.kind) {
                case Step::Kind::Pause:
                    pauseUntilMs_ = clock_.NowMs() + std::max<int64_t>(step.pauseMs, 0);
                    continue;
                case Step::Kind::Action: {
                    // What the action queues comes next, before the steps queued earlier.
                    std::deque<Step> later = std::move(script_);
                    script_.clear();
                    if (step.action) step.action();
                    for (Step& rest : later) script_.push_back(std::move(rest));
                    continue;
                }
                case Step::Kind::MoveBy: {
                    HostEvent moved = step.event;
                    if (!Resolve(moved)) continue;
                    moved.screen = Point{mouse_.x + step.dx, mouse_.y + step.dy};
                    const Point origin = ClientOrigin(moved.window);
                    moved.position = Point{moved.screen.x - origin.x, moved.screen.y - origin.y};
                    mouse_ = moved.screen;
                    event = std::move(moved);
                    return true;
                }
                case Step::Kind::Event: {
                    HostEvent next = std::move(step.event);
                    // A step aimed at a window that has gone by now is dropped, like input to a
                    // window that closed under the pointer.
                    if (!Resolve(next)) continue;
                    if (next.kind == HostEventKind::MouseDown || next.kind == HostEventKind::MouseUp ||
                        next.kind == HostEventKind::MouseMove) {
                        const Point origin = ClientOrigin(next.window);
                        next.screen = Point{origin.x + next.position.x, origin.y + next.position.y};
                        mouse_ = next.screen;
                    }
                    event = std::move(next);
                    return true;
                }
            }
        }
        if (deadline >= 0) {
            clock_.Advance(deadline - clock_.NowMs());
            return false;
        }
        if (onIdle_ && !idleCalled) {
            idleCalled = true;
            onIdle_();
            continue;
        }
        throw HeadlessStall("the program waits for input that the test never gives");
    }
}

void HeadlessHost::StartTextInput(HostWindowId window, Rect caretArea) {
    textInputWindow_ = window;
    textInputArea_ = caretArea;
}

void HeadlessHost::PlayClip(PcmClip clip) { clips_.push_back(PlayedClip{clock_.NowMs(), std::move(clip)}); }

bool HeadlessHost::ShowSystemErrorBox(const Text& title, const Text& message) {
    // Kept, and written where a test that ends in the report can read it.
    errorBoxes_.push_back(ErrorBox{title, message});
    WriteFatalReportToStandardError(message);
    return true;
}

void HeadlessHost::QueueEvent(HostEvent event) {
    Step step;
    step.kind = Step::Kind::Event;
    step.event = std::move(event);
    script_.push_back(std::move(step));
}

HostEvent HeadlessHost::MouseEvent(HostEventKind kind, Point client, HostWindowId window,
                                   uint32_t modifiers, MouseButton button) const {
    HostEvent event;
    event.kind = kind;
    event.window = window;
    event.position = client;
    event.modifiers = modifiers;
    event.button = button;
    return event;
}

void HeadlessHost::MouseDown(Point client, HostWindowId window, uint32_t modifiers, MouseButton button) {
    QueueEvent(MouseEvent(HostEventKind::MouseDown, client, window, modifiers, button));
}

void HeadlessHost::MouseUp(Point client, HostWindowId window, uint32_t modifiers, MouseButton button) {
    QueueEvent(MouseEvent(HostEventKind::MouseUp, client, window, modifiers, button));
}

void HeadlessHost::MouseMoveTo(Point client, HostWindowId window, uint32_t modifiers) {
    QueueEvent(MouseEvent(HostEventKind::MouseMove, client, window, modifiers, MouseButton::Left));
}

void HeadlessHost::MouseMoveBy(int32_t dx, int32_t dy, HostWindowId window, uint32_t modifiers) {
    Step step;
    step.kind = Step::Kind::MoveBy;
    step.event = MouseEvent(HostEventKind::MouseMove, Point{}, window, modifiers, MouseButton::Left);
    step.dx = dx;
    step.dy = dy;
    script_.push_back(std::move(step));
}

void HeadlessHost::Click(Point client, HostWindowId window, uint32_t modifiers) {
    MouseDown(client, window, modifiers);
    MouseUp(client, window, modifiers);
}

void HeadlessHost::PressKey(Key key, uint32_t modifiers, HostWindowId window) {
    QueueKey(key, modifiers, window, false);
}

void HeadlessHost::RepeatKey(Key key, uint32_t modifiers, HostWindowId window) {
    QueueKey(key, modifiers, window, true);
}

void HeadlessHost::QueueKey(Key key, uint32_t modifiers, HostWindowId window, bool repeat) {
    HostEvent event;
    event.kind = HostEventKind::KeyDown;
    event.window = window;
    event.key = key;
    event.modifiers = modifiers;
    event.repeat = repeat;
    QueueEvent(std::move(event));
}

void HeadlessHost::TypeText(const std::string& utf8, HostWindowId window) {
    HostEvent event;
    event.kind = HostEventKind::TextInput;
    event.window = window;
    event.text = utf8;
    QueueEvent(std::move(event));
}

void HeadlessHost::Compose(const std::string& utf8, int32_t cursor, HostWindowId window) {
    HostEvent event;
    event.kind = HostEventKind::TextEditing;
    event.window = window;
    event.text = utf8;
    event.compositionCursor = cursor;
    QueueEvent(std::move(event));
}

void HeadlessHost::RequestClose(HostWindowId window) {
    HostEvent event;
    event.kind = HostEventKind::CloseRequest;
    event.window = window;
    QueueEvent(std::move(event));
}

void HeadlessHost::RequestQuit() {
    HostEvent event;
    event.kind = HostEventKind::Quit;
    QueueEvent(std::move(event));
}

void HeadlessHost::Pause(int64_t ms) {
    Step step;
    step.kind = Step::Kind::Pause;
    step.pauseMs = ms;
    script_.push_back(std::move(step));
}

void HeadlessHost::Then(std::function<void()> action) {
    Step step;
    step.kind = Step::Kind::Action;
    step.action = std::move(action);
    script_.push_back(std::move(step));
}

uint32_t HeadlessHost::PixelAt(HostWindowId window, int32_t x, int32_t y) const {
    const WindowState* state = Window(window);
    if (!state || x < 0 || y < 0 || x >= state->client.width || y >= state->client.height) return 0xFFFFFFFFu;
    return state->screen[static_cast<size_t>(y) * static_cast<size_t>(state->client.width) + static_cast<size_t>(x)];
}

bool HeadlessHost::SaveBitmap(HostWindowId window, const std::string& path) const {
    const WindowState* state = Window(window);
    if (!state) return false;
    const int32_t w = state->client.width;
    const int32_t h = state->client.height;
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3u + 3u) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);
    std::vector<uint8_t> file(54 + imageBytes, 0);
    auto put32 = [&file](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    file[26] = 1;
    file[28] = 24;
    put32(34, imageBytes);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = file.data() + 54 + static_cast<size_t>(h - 1 - y) * rowBytes;
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t c = state->screen[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
            row[x * 3 + 0] = static_cast<uint8_t>(c >> 16);  // blue
            row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);   // green
            row[x * 3 + 2] = static_cast<uint8_t>(c);        // red
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace kelvora
