// Reads the fatal report of the Windows game off the screen: waits for the message box titled
// "Kelvora", takes the pixels of its text from the screen, and lays over them the system's own
// drawing of the text the report must show (the box's font, the box's way of breaking lines).
// Prints the share of ink pixels where the two differ and ends with 0 when they agree, 1 when
// they do not, 2 when no report showed within 15 s.
// Usage: report_box_text.exe OUT-PREFIX   (OUT-PREFIX.shown.bmp and OUT-PREFIX.expected.bmp)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The text the report must show when the skin library cannot be put in place.
const char kExpectedGbk[] = "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“Tovenhal.Tovenhal”中的输出命令“SkinH_AttachRes”\r\n";

HWND FindTextControl(HWND box) {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t kind[32] = {};
            GetClassNameW(child, kind, 32);
            if (lstrcmpiW(kind, L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
                reinterpret_cast<Search*>(data)->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Pixels {
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
};

Pixels MakePixels(HDC dc, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Pixels p;
    void* bits = nullptr;
    p.bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    p.bits = static_cast<uint32_t*>(bits);
    return p;
}

bool Ink(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r * 299 + g * 587 + b * 114 < 128 * 1000;
}

void SaveBmp(const std::string& path, const uint32_t* bits, int width, int height) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(width * height * 4);
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(bits, 4, static_cast<size_t>(width) * height, out);
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 3;
    HWND box = nullptr;
    HWND text = nullptr;
    for (int tenth = 0; tenth < 150 && text == nullptr; ++tenth) {
        box = FindWindowW(L"#32770", L"Kelvora");
        if (box != nullptr) text = FindTextControl(box);
        if (text == nullptr) Sleep(100);
    }
    if (text == nullptr) {
        std::printf("no report\n");
        return 2;
    }
    Sleep(500);  // drawn by now

    RECT area{};
    GetClientRect(text, &area);
    const int width = area.right;
    const int height = area.bottom;
    POINT corner{0, 0};
    ClientToScreen(text, &corner);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const Pixels shown = MakePixels(screen, width, height);
    const Pixels expected = MakePixels(screen, width, height);
    HGDIOBJ old = SelectObject(memory, shown.bitmap);
    BitBlt(memory, 0, 0, width, height, screen, corner.x, corner.y, SRCCOPY);

    // The same text as the box's static control draws it: its font, its flags, on its background.
    SelectObject(memory, expected.bitmap);
    const uint32_t background = shown.bits[0];
    for (int i = 0; i < width * height; ++i) expected.bits[i] = background;
    const int wideLength = MultiByteToWideChar(936, 0, kExpectedGbk, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(936, 0, kExpectedGbk, -1, wide.data(), wideLength);
    wide.resize(static_cast<size_t>(wideLength - 1));
    // The box's font is the system's message font (its handle belongs to the game's process).
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, GetSysColor(COLOR_WINDOWTEXT));
    const LONG style = GetWindowLongW(text, GWL_STYLE);
    UINT flags = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;
    if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
    if (style & SS_EDITCONTROL) flags |= DT_EDITCONTROL;
    RECT box2{0, 0, width, height};
    DrawTextW(memory, wide.c_str(), static_cast<int>(wide.size()), &box2, flags);
    GdiFlush();
    SelectObject(memory, old);
    DeleteObject(font);

    long inkShown = 0, inkExpected = 0, differing = 0;
    for (int i = 0; i < width * height; ++i) {
        const bool a = Ink(shown.bits[i]);
        const bool b = Ink(expected.bits[i]);
        inkShown += a;
        inkExpected += b;
        differing += a != b;
    }
    SaveBmp(std::string(argv[1]) + ".shown.bmp", shown.bits, width, height);
    SaveBmp(std::string(argv[1]) + ".expected.bmp", expected.bits, width, height);
    std::printf("%dx%d ink shown %ld expected %ld differing %ld\n", width, height, inkShown, inkExpected, differing);
    // Edges of glyphs may round one way on the screen and the other in memory: a few pixels.
    return inkExpected > 0 && differing * 50 <= inkExpected ? 0 : 1;
}
