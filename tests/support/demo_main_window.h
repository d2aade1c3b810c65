// A stand-in for the game's start-up, for the end-to-end program and the benchmarks: the main
// window from its layout with its client area fixed, a checkered board, the scroller panels
// hidden and a 100 ms tick that redraws the 140 x 58 panel 画板1 the way the scroller does.
#pragma once

#include <cstdint>

#include "platform/layouts.h"
#include "platform/runtime.h"

namespace kelvora::testing {

inline void DrawDemoBoard(DrawPanel& board) {
    for (int32_t cell = 1; cell <= 81; ++cell) {
        const int32_t x = (cell - 1) % 9 * 40;
        const int32_t y = (cell - 1) / 9 * 40;
        board.SetBrushColour(cell % 2 == 1 ? 0x00212021u : 0u);
        board.FillRectangle(x, y, x + 40, y + 40);
    }
}

// Registers the handlers; `ticks` counts the redraws of 画板1. There is no game: the board, the
// buttons and the selection timer do nothing.
inline void RegisterDemoHandlers(Runtime& runtime, int64_t* ticks = nullptr) {
    runtime.RegisterHandler(handlers::kSetUpMainWindow, [](const EventArgs& e) {
        Runtime& r = e.runtime;
        const WindowRef w = e.window;
        r.SetProperty(w, Property::Height, r.GetProperty(w, Property::Height) - r.ClientHeight(w) + 390);
        r.SetProperty(w, Property::Width, r.GetProperty(w, Property::Width) - r.ClientWidth(w) + 523);
        r.SetProperty(r.ControlByName(w, "画板2"), Property::Visible, 0);
        r.SetProperty(r.ControlByName(w, "画板3"), Property::Visible, 0);
        if (DrawPanel* display = r.Panel(r.ControlByName(w, "画板1"))) display->SetAutoRedraw(true);
        if (DrawPanel* board = r.Panel(r.ControlByName(w, "画板游戏区"))) DrawDemoBoard(*board);
    });
    runtime.RegisterHandler(handlers::kScrollTick, [ticks](const EventArgs& e) {
        DrawPanel* display = e.runtime.Panel(e.runtime.ControlByName(e.window, "画板1"));
        if (!display) return;
        const int64_t n = ticks ? ++*ticks : 0;
        display->SetBrushColour(0);
        display->FillRectangle(0, 0, display->Width(), display->Height());
        display->SetTextColour(0x00FF00);
        display->WriteTextAt(0, 30 - static_cast<int32_t>(n % 60), "  点击小球选中它");
    });
    for (const Text& name : runtime.UnboundHandlers(MainWindowLayout())) {
        runtime.RegisterHandler(name, [](const EventArgs&) {});
    }
}

}  // namespace kelvora::testing
