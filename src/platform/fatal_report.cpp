// The fatal report drawn by the game: built from a layout like every window of the game, but
// kept apart from the runtime's windows and run by a loop of its own. A fatal error can come from
// inside the runtime, whose windows may be half made at that moment, and no handler, timer or
// animation of the game may go on behind the report.
#include "platform/fatal_report.h"

#include <algorithm>

#include "platform/controls.h"
#include "platform/input_routing.h"
#include "platform/presenting.h"
#include "platform/window.h"

namespace kelvora {
namespace {

constexpr int32_t kMargin = 16;
constexpr int32_t kSignSize = 32;
constexpr int32_t kTextLeft = kMargin + kSignSize + kMargin;
// Lines wider than this are broken, so that the report fits any screen the game fits.
constexpr int32_t kWidestText = 560;
constexpr int32_t kButtonWidth = 75;
constexpr int32_t kButtonHeight = 23;
constexpr uint32_t kSignRed = 0x2311E8;  // RGB(232, 17, 35)
constexpr uint32_t kSignWhite = 0xFFFFFF;

// A red disc with a white cross, like the error sign of the system's own message boxes.
void DrawErrorSign(DrawPanel& panel) {
    panel.SetBrush(1);
    panel.SetBrushColour(kSignRed);
    // Row by row, the disc's width at the middle of the row.
    const double radius = kSignSize / 2.0 - 0.5;
    for (int32_t y = 0; y < kSignSize; ++y) {
        const double dy = y + 0.5 - kSignSize / 2.0;
        if (dy * dy > radius * radius) continue;
        int32_t half = 0;
        while ((half + 0.5) * (half + 0.5) + dy * dy <= radius * radius) ++half;
        panel.FillRectangle(kSignSize / 2 - half, y, kSignSize / 2 + half, y + 1);
    }
    panel.SetPenWidth(3);
    panel.SetPenColour(kSignWhite);
    panel.DrawLine(10, 10, 22, 22);
    panel.DrawLine(21, 10, 9, 22);
}

}  // namespace

WindowLayout FatalReportLayout(FontService& fonts, const Text& text) {
    const FontSpec font = DefaultGuiFont();
    std::vector<Text> lines = CaptionLines(fonts, font, text, kWidestText);
    // The report ends with a line break, which adds no line anyone sees.
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    int32_t textWidth = 0;
    for (const Text& line : lines) textWidth = std::max(textWidth, fonts.TextWidth(font, line));
    const int32_t textHeight = static_cast<int32_t>(lines.size()) * fonts.LineHeight(font);

    WindowLayout w;
    w.name = "错误报告窗口";
    w.escCloses = true;
    w.backColour = kWindowBackColour;
    w.width = std::max(kTextLeft + textWidth, kMargin + kButtonWidth) + kMargin;
    const int32_t buttonTop = kMargin + std::max(kSignSize, textHeight) + kMargin;
    w.height = buttonTop + kButtonHeight + kMargin;

    ControlLayout sign = ControlLayoutAt("画板错误标志", ControlKind::DrawPanel, kMargin, kMargin, kSignSize, kSignSize);
    sign.backColour = kWindowBackColour;
    w.controls.push_back(sign);

    // Every line fits the label's width, so the label breaks them where they were broken here.
    ControlLayout message = ControlLayoutAt("标签错误信息", ControlKind::Label, kTextLeft, kMargin, textWidth, textHeight);
    message.caption = text;
    message.textColour = 0;
    message.backColour = kWindowBackColour;
    message.font = font;
    message.wordWrap = true;
    w.controls.push_back(message);

    w.controls.push_back(ControlLayoutAt("按钮确定", ControlKind::Button, w.width - kMargin - kButtonWidth, buttonTop, kButtonWidth,
                              kButtonHeight));
    w.controls.back().caption = "确定";
    return w;
}

bool ShowFatalReport(Host& host, FontService& fonts, const Text& title, const Text& text, HostWindowId owner) {
    WindowLayout layout = FatalReportLayout(fonts, text);
    layout.caption = title;
    Window window;
    window.layout = &layout;
    window.client = Size{layout.width, layout.height};

    HostWindowSpec request;
    request.title = title;
    request.client = window.client;
    request.parent = owner;
    const FrameSizes frame = host.TypicalFrame();
    const Size screen = host.ScreenSize();
    request.outerTopLeft = Point{(screen.width - window.client.width - frame.left - frame.right) / 2,
                              (screen.height - window.client.height - frame.top - frame.bottom) / 2};
    window.host = host.OpenWindow(request);
    if (window.host == 0) return false;

    for (const ControlLayout& control : layout.controls) window.controls.push_back(MakeControl(control, fonts, 0));
    DrawErrorSign(*window.controls.front().panel);
    ResetFramebuffer(window);
    host.ShowWindow(window.host);
    window.shown = true;
    FlushWindow(window, host, false);

    const InputServices in{host, fonts};
    for (bool dismissed = false; !dismissed;) {
        HostEvent event;
        if (!host.WaitEvent(event, -1)) continue;
        if (event.kind == HostEventKind::Quit) break;
        if (event.window != window.host) continue;
        WindowReaction reaction;
        switch (event.kind) {
            case HostEventKind::CloseRequest:
                reaction = WindowReaction::Close();
                break;
            case HostEventKind::KeyDown:
                // OK is the report's one button, so Enter presses it.
                reaction = event.key == Key::Enter ? WindowReaction::Close() : RouteKey(window, event, in);
                break;
            case HostEventKind::MouseDown:
                reaction = RouteMouseDown(window, event, in);
                break;
            case HostEventKind::MouseMove:
                RouteMouseMove(window, event, in);
                break;
            case HostEventKind::MouseUp:
                reaction = RouteMouseUp(window, event, in);
                break;
            case HostEventKind::Exposed:
                AddArea(window.unshown, Rect{0, 0, window.client.width, window.client.height});
                break;
            default:
                break;
        }
        dismissed = reaction.kind == WindowReaction::Kind::Close ||
                    (reaction.kind == WindowReaction::Kind::Fire && reaction.event == EventKind::Click);
        if (!dismissed) FlushWindow(window, host, false);
    }
    host.CloseWindow(window.host);
    return true;
}

}  // namespace kelvora
