// Editing a single-line GBK text.
#include "platform/edit_text.h"

#include "base/system/codepage.h"

namespace kelvora {

size_t NextCharBoundary(std::string_view text, size_t position) {
    if (position >= text.size()) return text.size();
    if (IsGbkLeadByte(static_cast<uint8_t>(text[position])) && position + 1 < text.size()) return position + 2;
    return position + 1;
}

size_t CharBoundaryAtOrBefore(std::string_view text, size_t position) {
    if (position >= text.size()) return text.size();
    size_t at = 0;
    for (;;) {
        const size_t next = NextCharBoundary(text, at);
        if (next > position) return at;
        at = next;
    }
}

size_t PreviousCharBoundary(std::string_view text, size_t position) {
    if (position == 0) return 0;
    return CharBoundaryAtOrBefore(text, position - 1);
}

namespace {
bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }
}  // namespace

std::optional<Text> TypedTextToGbk(std::string_view utf8) {
    for (unsigned char c : utf8) {
        if (IsControl(c)) return std::nullopt;
    }
    Conversion gbk = Utf8ToGbk(utf8);
    if (!gbk.ok) return std::nullopt;
    return std::move(gbk.text);
}

std::optional<Text> PastedTextToGbk(std::string_view utf8) {
    std::string clean;
    clean.reserve(utf8.size());
    for (unsigned char c : utf8) {
        if (c == '\r' || c == '\n') break;
        if (!IsControl(c)) clean.push_back(static_cast<char>(c));
    }
    Conversion gbk = Utf8ToGbk(clean);
    if (!gbk.ok) return std::nullopt;
    return std::move(gbk.text);
}

void EditText::SetValue(Text value) {
    value_ = std::move(value);
    caret_ = anchor_ = 0;
}

Text EditText::SelectedText() const { return value_.substr(SelectionStart(), SelectionEnd() - SelectionStart()); }

void EditText::SetCaret(size_t position, bool extend) {
    caret_ = CharBoundaryAtOrBefore(value_, position);
    if (!extend) anchor_ = caret_;
}

void EditText::MoveLeft(bool extend) {
    if (HasSelection() && !extend) {
        caret_ = anchor_ = SelectionStart();
        return;
    }
    SetCaret(PreviousCharBoundary(value_, caret_), extend);
}

void EditText::MoveRight(bool extend) {
    if (HasSelection() && !extend) {
        caret_ = anchor_ = SelectionEnd();
        return;
    }
    SetCaret(NextCharBoundary(value_, caret_), extend);
}

void EditText::MoveHome(bool extend) { SetCaret(0, extend); }

void EditText::MoveEnd(bool extend) { SetCaret(value_.size(), extend); }

void EditText::SelectAll() {
    anchor_ = 0;
    caret_ = value_.size();
}

void EditText::RemoveSelection() {
    const size_t start = SelectionStart();
    value_.erase(start, SelectionEnd() - start);
    caret_ = anchor_ = start;
}

void EditText::Insert(std::string_view gbk) {
    RemoveSelection();
    value_.insert(caret_, gbk);
    caret_ += gbk.size();
    anchor_ = caret_;
}

void EditText::Backspace() {
    if (HasSelection()) {
        RemoveSelection();
        return;
    }
    if (caret_ == 0) return;
    const size_t start = PreviousCharBoundary(value_, caret_);
    value_.erase(start, caret_ - start);
    caret_ = anchor_ = start;
}

void EditText::Delete() {
    if (HasSelection()) {
        RemoveSelection();
        return;
    }
    const size_t end = NextCharBoundary(value_, caret_);
    value_.erase(caret_, end - caret_);
}

Text EditText::CutSelection() {
    Text cut = SelectedText();
    RemoveSelection();
    return cut;
}

}  // namespace kelvora
