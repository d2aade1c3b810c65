// Labels, buttons and edit boxes: building them from their layouts and drawing their looks.
#include "platform/controls.h"

#include <algorithm>
#include <deque>

namespace kelvora {
namespace {

// The classic raised and sunken edges of push buttons and text fields.
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kLight = 0xE3E3E3;
constexpr uint32_t kShadow = 0xA0A0A0;
constexpr uint32_t kDarkShadow = 0x696969;
constexpr uint32_t kSelectionBack = 0xD77800;  // RGB(0, 120, 215)
// A focused button's dotted frame lies this far inside its edges, clear of the caption.
constexpr int32_t kFocusFrameInset = 3;
// The keyboard cursor: two white rings and a black one inside them, along the edges of its cell.
// Balls are round, so it runs over the cell's dark corners and the grid, where white shows on
// both cell colours; the black ring keeps it apart from a ball as light as the magic one.
constexpr uint32_t kCursorRings[] = {0xFFFFFF, 0xFFFFFF, 0x000000};
constexpr int32_t kEditBorder = 2;
constexpr int32_t kEditPadding = 1;
// Never measure or draw more than this many characters of a field around its caret: a field
// shows a few dozen, and a pasted megabyte must not make every key press slow.
constexpr size_t kEditWindowChars = 512;

PixelTarget TargetOf(Control& c) {
    return PixelTarget{c.pixels.data(), c.rect.width, c.rect.height, c.rect.width};
}

void Fill(Control& c, Rect r, uint32_t colour) {
    r = Intersect(r, Rect{0, 0, c.rect.width, c.rect.height});
    for (int32_t y = r.top; y < r.Bottom(); ++y) {
        std::fill_n(c.pixels.begin() + static_cast<ptrdiff_t>(y) * c.rect.width + r.left, r.width, colour);
    }
}

// Two nested rectangles of edges: outer then inner, each light on top-left and dark on bottom-right.
void Bevel(Control& c, uint32_t outerTopLeft, uint32_t outerBottomRight, uint32_t innerTopLeft,
           uint32_t innerBottomRight) {
    const int32_t w = c.rect.width;
    const int32_t h = c.rect.height;
    Fill(c, Rect{0, 0, w, 1}, outerTopLeft);
    Fill(c, Rect{0, 0, 1, h}, outerTopLeft);
    Fill(c, Rect{0, h - 1, w, 1}, outerBottomRight);
    Fill(c, Rect{w - 1, 0, 1, h}, outerBottomRight);
    Fill(c, Rect{1, 1, w - 2, 1}, innerTopLeft);
    Fill(c, Rect{1, 1, 1, h - 2}, innerTopLeft);
    Fill(c, Rect{1, h - 2, w - 2, 1}, innerBottomRight);
    Fill(c, Rect{w - 2, 1, 1, h - 2}, innerBottomRight);
}

void RenderLabel(Control& c, FontService& fonts) {
    const ControlLayout& l = c.layout;
    const int32_t w = c.rect.width;
    const int32_t h = c.rect.height;
    if (l.gradient.size() >= 2) {
        // Drawn by a panel, so the label's blend is exactly the gradient rectangle's.
        DrawPanel blend(w, h, 0);
        blend.GradientRect(0, 0, w, h, kGradientTopDown, l.gradient);
        for (int32_t y = 0; y < h; ++y) {
            std::copy_n(blend.Pixels() + static_cast<ptrdiff_t>(y) * blend.Stride(), w,
                        c.pixels.begin() + static_cast<ptrdiff_t>(y) * w);
        }
    } else {
        Fill(c, Rect{0, 0, w, h}, l.backColour == kDefaultColour ? kButtonFaceColour : l.backColour);
    }

    std::vector<Text> lines;
    int32_t y = 0;
    const int32_t lineHeight = fonts.LineHeight(l.font);
    if (l.wordWrap) {
        lines = CaptionLines(fonts, l.font, c.caption, w);
    } else {
        // One line, centred vertically; line breaks have no place in it.
        Text line;
        for (char ch : c.caption) {
            if (ch != '\r' && ch != '\n') line.push_back(ch);
        }
        lines.push_back(std::move(line));
        y = (h - lineHeight) / 2;
    }
    const PixelTarget target = TargetOf(c);
    for (const Text& line : lines) {
        const int32_t x = l.align == TextAlign::Centre ? (w - fonts.TextWidth(l.font, line)) / 2 : 0;
        if (l.embossed) {
            fonts.DrawTextLine(l.font, line, target, x, y, 0xFFFFFF);
            fonts.DrawTextLine(l.font, line, target, x + 1, y + 1, l.textColour);
        } else {
            fonts.DrawTextLine(l.font, line, target, x, y, l.textColour);
        }
        y += lineHeight;
    }
}

void RenderButton(Control& c, FontService& fonts) {
    const int32_t w = c.rect.width;
    const int32_t h = c.rect.height;
    Fill(c, Rect{0, 0, w, h}, kButtonFaceColour);
    if (c.pressed) {
        Bevel(c, kDarkShadow, kHighlight, kShadow, kLight);
    } else {
        Bevel(c, kHighlight, kDarkShadow, kLight, kShadow);
    }
    const FontSpec font = DefaultGuiFont();
    const int32_t shift = c.pressed ? 1 : 0;
    const int32_t x = (w - fonts.TextWidth(font, c.caption)) / 2 + shift;
    const int32_t y = (h - fonts.LineHeight(font)) / 2 + shift;
    fonts.DrawTextLine(font, c.caption, TargetOf(c), x, y, 0);
    if (c.focusShown) {
        // Every other pixel, as desktop buttons mark the one that Space would press.
        const Rect frame{kFocusFrameInset, kFocusFrameInset, w - 2 * kFocusFrameInset, h - 2 * kFocusFrameInset};
        if (frame.Empty()) return;
        for (int32_t fy = frame.top; fy < frame.Bottom(); ++fy) {
            for (int32_t fx = frame.left; fx < frame.Right(); ++fx) {
                const bool edge = fy == frame.top || fy == frame.Bottom() - 1 || fx == frame.left || fx == frame.Right() - 1;
                if (edge && (fx + fy) % 2 == 0) c.pixels[static_cast<size_t>(fy) * static_cast<size_t>(w) + static_cast<size_t>(fx)] = 0;
            }
        }
    }
}

// The characters of the field from its first shown one, at most kEditWindowChars of them.
size_t ShownEnd(const Text& text, size_t start) {
    size_t end = start;
    for (size_t n = 0; n < kEditWindowChars && end < text.size(); ++n) end = NextCharBoundary(text, end);
    return end;
}

void RenderEditBox(Control& c, FontService& fonts) {
    const ControlLayout& l = c.layout;
    const int32_t w = c.rect.width;
    const int32_t h = c.rect.height;
    Fill(c, Rect{0, 0, w, h}, l.backColour == kDefaultColour ? 0xFFFFFF : l.backColour);
    Bevel(c, kShadow, kHighlight, kDarkShadow, kLight);

    const Rect area = EditTextArea(c);
    // Text is clipped to the area inside the border.
    PixelTarget target{c.pixels.data() + static_cast<ptrdiff_t>(area.top) * w + area.left, area.width, area.height, w};
    if (area.Empty()) return;
    const EditText& edit = *c.edit;
    const Text& text = edit.Value();
    const size_t start = std::min(c.scrollStart, text.size());
    const size_t caret = std::max(edit.Caret(), start);
    const int32_t lineHeight = fonts.LineHeight(l.font);
    const int32_t y = (area.height - lineHeight) / 2;
    const size_t end = ShownEnd(text, start);

    if (!c.composition.empty() && c.focused) {
        // The unfinished composition sits at the caret, underlined, until the input method commits it.
        const std::string_view before(text.data() + start, caret - start);
        int32_t x = kEditPadding + fonts.DrawTextLine(l.font, before, target, kEditPadding, y, l.textColour);
        const int32_t composed = fonts.DrawTextLine(l.font, c.composition, target, x, y, l.textColour);
        PixelTarget underline = target;
        for (int32_t ux = std::max(x, 0); ux < std::min(x + composed, area.width); ++ux) {
            const int32_t uy = std::min(y + lineHeight, area.height - 1);
            if (uy >= 0) underline.pixels[static_cast<ptrdiff_t>(uy) * w + ux] = l.textColour;
        }
        x += composed;
        const size_t after = std::max(caret, std::min(end, text.size()));
        fonts.DrawTextLine(l.font, std::string_view(text.data() + caret, after - caret), target, x, y, l.textColour);
        Rect caretRect{area.left + x, area.top + y, 1, lineHeight};
        Fill(c, Intersect(caretRect, area), l.textColour);
        return;
    }

    const size_t selStart = c.focused ? std::clamp(edit.SelectionStart(), start, end) : start;
    const size_t selEnd = c.focused ? std::clamp(edit.SelectionEnd(), start, end) : start;
    int32_t x = kEditPadding;
    x += fonts.DrawTextLine(l.font, std::string_view(text.data() + start, selStart - start), target, x, y,
                            l.textColour);
    if (selEnd > selStart) {
        const std::string_view selected(text.data() + selStart, selEnd - selStart);
        const int32_t selWidth = fonts.TextWidth(l.font, selected);
        Fill(c, Intersect(Rect{area.left + x, area.top + y, selWidth, lineHeight}, area), kSelectionBack);
        x += fonts.DrawTextLine(l.font, selected, target, x, y, 0xFFFFFF);
    }
    fonts.DrawTextLine(l.font, std::string_view(text.data() + selEnd, end - selEnd), target, x, y, l.textColour);
    if (c.focused) Fill(c, Intersect(EditCaretRect(c, fonts), area), l.textColour);
}

}  // namespace

Control MakeControl(const ControlLayout& layout, FontService& fonts, int64_t nowMs) {
    Control c;
    c.layout = layout;
    c.rect = Rect{layout.left, layout.top, std::max(layout.width, 0), std::max(layout.height, 0)};
    c.visible = layout.visible;
    c.caption = layout.caption;
    switch (layout.kind) {
        case ControlKind::DrawPanel: {
            const uint32_t back = layout.backColour == kDefaultColour ? kButtonFaceColour : layout.backColour;
            c.panel = std::make_unique<DrawPanel>(c.rect.width, c.rect.height, back, &fonts);
            c.panel->SetAutoRedraw(layout.autoRedraw);
            c.panel->SetPenColour(layout.penColour);
            c.panel->SetBrushColour(layout.brushColour);
            c.panel->SetTextColour(layout.textColour);
            c.panel->SetFont(layout.font);
            c.panel->TakeDirtyRect();
            break;
        }
        case ControlKind::Timer:
            SetTimerInterval(c.timer, layout.interval, nowMs);
            break;
        case ControlKind::EditBox:
            c.edit = std::make_unique<EditText>(layout.caption);
            break;
        case ControlKind::Label:
        case ControlKind::Button:
            break;
    }
    RenderControl(c, fonts);
    return c;
}

void RenderControl(Control& c, FontService& fonts) {
    if (c.layout.kind == ControlKind::DrawPanel || c.layout.kind == ControlKind::Timer) return;
    c.pixels.assign(static_cast<size_t>(c.rect.width) * static_cast<size_t>(c.rect.height), 0);
    if (c.pixels.empty()) return;
    switch (c.layout.kind) {
        case ControlKind::Label:
            RenderLabel(c, fonts);
            break;
        case ControlKind::Button:
            RenderButton(c, fonts);
            break;
        case ControlKind::EditBox:
            RenderEditBox(c, fonts);
            break;
        default:
            break;
    }
}

Rect CursorCellRect(const Control& panel) {
    const int32_t cell = panel.layout.cursorCell;
    return Rect{panel.rect.left + panel.cursor.x * cell, panel.rect.top + panel.cursor.y * cell, cell, cell};
}

void DrawCursor(const Control& panel, Rect area, uint32_t* framebuffer, int32_t stride) {
    if (!panel.cursorShown || !panel.visible || panel.layout.cursorCell <= 0) return;
    const Rect clip = Intersect(area, panel.rect);
    auto fill = [&](Rect r, uint32_t colour) {
        r = Intersect(r, clip);
        for (int32_t y = r.top; y < r.Bottom(); ++y) {
            std::fill_n(framebuffer + static_cast<ptrdiff_t>(y) * stride + r.left, r.width, colour);
        }
    };
    Rect ring = CursorCellRect(panel);
    for (const uint32_t colour : kCursorRings) {
        if (ring.Empty()) return;
        fill(Rect{ring.left, ring.top, ring.width, 1}, colour);
        fill(Rect{ring.left, ring.Bottom() - 1, ring.width, 1}, colour);
        fill(Rect{ring.left, ring.top, 1, ring.height}, colour);
        fill(Rect{ring.Right() - 1, ring.top, 1, ring.height}, colour);
        ring = Rect{ring.left + 1, ring.top + 1, ring.width - 2, ring.height - 2};
    }
}

std::vector<Text> CaptionLines(FontService& fonts, const FontSpec& font, std::string_view caption, int32_t width) {
    std::vector<Text> hard;
    Text current;
    for (size_t i = 0; i < caption.size(); ++i) {
        const char ch = caption[i];
        if (ch == '\r' || ch == '\n') {
            hard.push_back(std::move(current));
            current.clear();
            if (ch == '\r' && i + 1 < caption.size() && caption[i + 1] == '\n') ++i;
            continue;
        }
        current.push_back(ch);
    }
    hard.push_back(std::move(current));
    if (width <= 0) return hard;

    std::vector<Text> lines;
    for (const Text& line : hard) {
        if (fonts.TextWidth(font, line) <= width) {
            lines.push_back(line);
            continue;
        }
        // Words: a run of single-byte non-spaces with the spaces after it, or one Chinese character.
        Text built;
        size_t at = 0;
        while (at < line.size()) {
            size_t end = at;
            if (IsGbkLeadByte(static_cast<uint8_t>(line[at]))) {
                end = NextCharBoundary(line, at);
            } else {
                while (end < line.size() && line[end] != ' ' && !IsGbkLeadByte(static_cast<uint8_t>(line[end]))) ++end;
                while (end < line.size() && line[end] == ' ') ++end;
                if (end == at) end = at + 1;
            }
            const std::string_view word(line.data() + at, end - at);
            Text candidate = built + Text(word);
            // Trailing spaces do not count against the width.
            std::string_view measured = candidate;
            while (!measured.empty() && measured.back() == ' ') measured.remove_suffix(1);
            if (!built.empty() && fonts.TextWidth(font, measured) > width) {
                while (!built.empty() && built.back() == ' ') built.pop_back();
                lines.push_back(std::move(built));
                built = Text(word);
            } else {
                built = std::move(candidate);
            }
            at = end;
        }
        while (!built.empty() && built.back() == ' ') built.pop_back();
        lines.push_back(std::move(built));
    }
    return lines;
}

Rect EditTextArea(const Control& c) {
    return Intersect(Rect{kEditBorder, kEditBorder, c.rect.width - 2 * kEditBorder, c.rect.height - 2 * kEditBorder},
                     Rect{0, 0, c.rect.width, c.rect.height});
}

Rect EditCaretRect(const Control& c, FontService& fonts) {
    const Rect area = EditTextArea(c);
    const Text& text = c.edit->Value();
    const size_t start = std::min(c.scrollStart, text.size());
    const size_t caret = std::max(std::min(c.edit->Caret(), text.size()), start);
    const int32_t lineHeight = fonts.LineHeight(c.layout.font);
    const int32_t x = kEditPadding + fonts.TextWidth(c.layout.font, std::string_view(text.data() + start, caret - start));
    return Rect{area.left + x, area.top + (area.height - lineHeight) / 2, 1, lineHeight};
}

size_t EditPositionAt(const Control& c, FontService& fonts, int32_t x) {
    const Text& text = c.edit->Value();
    const size_t start = std::min(c.scrollStart, text.size());
    const size_t end = ShownEnd(text, start);
    const int32_t target = x - EditTextArea(c).left - kEditPadding;
    size_t best = start;
    int32_t previousWidth = 0;
    for (size_t at = start; at < end;) {
        const size_t next = NextCharBoundary(text, at);
        const int32_t width = fonts.TextWidth(c.layout.font, std::string_view(text.data() + start, next - start));
        // The caret goes to whichever edge of the character is nearer.
        if (target < (previousWidth + width + 1) / 2) return at;
        best = next;
        previousWidth = width;
        if (width > target) break;
        at = next;
    }
    return best;
}

void KeepCaretVisible(Control& c, FontService& fonts) {
    const Text& text = c.edit->Value();
    const size_t caret = std::min(c.edit->Caret(), text.size());
    if (c.scrollStart > text.size()) c.scrollStart = 0;
    c.scrollStart = CharBoundaryAtOrBefore(text, c.scrollStart);
    if (caret < c.scrollStart) {
        c.scrollStart = caret;
        return;
    }
    const int32_t room = EditTextArea(c).width - 2 * kEditPadding - 1;
    auto fits = [&](size_t from) {
        if (caret - from > 2 * kEditWindowChars) return false;
        return fonts.TextWidth(c.layout.font, std::string_view(text.data() + from, caret - from)) <= room;
    };
    if (fits(c.scrollStart)) return;
    // The last kEditWindowChars boundaries before the caret, found by walking forward (GBK cannot
    // be walked backward), then the first of them from which the caret fits.
    std::deque<size_t> tail;
    for (size_t at = c.scrollStart; at <= caret;) {
        if (tail.size() == kEditWindowChars + 1) tail.pop_front();
        tail.push_back(at);
        if (at == caret) break;
        at = NextCharBoundary(text, at);
    }
    size_t low = 0;
    size_t high = tail.size() - 1;
    while (low < high) {
        const size_t mid = (low + high) / 2;
        if (fits(tail[mid])) high = mid; else low = mid + 1;
    }
    c.scrollStart = tail[low];
}

}  // namespace kelvora
