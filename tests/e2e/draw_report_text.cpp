// The text the fatal report must show when the skin library cannot be put in place, drawn by the
// font service itself, line under line in black on the window's grey, as a PPM picture. Prints
// where the report window puts its text: left, top, width and height in its client area. The
// end-to-end test finds exactly these pixels on the screen.
// Usage: draw_report_text OUT.ppm
#include <cstdio>
#include <vector>

#include "platform/controls.h"
#include "platform/fatal_report.h"
#include "platform/host/font_service.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_report_text OUT.ppm\n");
        return 2;
    }
    using namespace kelvora;
    const Text text = "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“Tovenhal.Tovenhal”中的输出命令“SkinH_AttachRes”\r\n";
    FontService fonts;
    if (!fonts.HasFonts()) {
        std::fprintf(stderr, "no font: nothing to compare with\n");
        return 1;
    }
    const WindowLayout layout = FatalReportLayout(fonts, text);
    const ControlLayout* label = nullptr;
    for (const ControlLayout& c : layout.controls) {
        if (c.kind == ControlKind::Label) label = &c;
    }
    if (label == nullptr || label->width <= 0 || label->height <= 0) {
        std::fprintf(stderr, "the report has no room for its text\n");
        return 1;
    }

    const FontSpec font = DefaultGuiFont();
    std::vector<uint32_t> pixels(static_cast<size_t>(label->width) * label->height, kWindowBackColour);
    const PixelTarget target{pixels.data(), label->width, label->height, label->width};
    int32_t y = 0;
    for (const Text& line : CaptionLines(fonts, font, text, label->width)) {
        fonts.DrawTextLine(font, line, target, 0, y, 0);
        y += fonts.LineHeight(font);
    }

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", label->width, label->height);
    for (uint32_t p : pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p & 0xFF), static_cast<unsigned char>((p >> 8) & 0xFF),
                                      static_cast<unsigned char>((p >> 16) & 0xFF)};
        std::fwrite(rgb, 1, 3, out);
    }
    std::fclose(out);
    std::printf("%d %d %d %d\n", label->left, label->top, label->width, label->height);
    return 0;
}
