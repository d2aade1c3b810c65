// The text of a single-line field as the player edits it: caret, selection and the edits, always
// on whole GBK characters, and the cleaning of typed and pasted text before it gets in.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/text.h"

namespace kelvora {

// Byte positions inside a GBK text where a character starts (or the end). A lead byte followed by
// any byte is one character; a lead byte at the very end stands alone.
size_t NextCharBoundary(std::string_view text, size_t position);
size_t PreviousCharBoundary(std::string_view text, size_t position);
// The boundary at or before a byte position (clamped to the text).
size_t CharBoundaryAtOrBefore(std::string_view text, size_t position);

// Typed text (UTF-8) as GBK; nothing when it holds a control character or a character that GBK
// cannot write, so the field stays as it was.
std::optional<Text> TypedTextToGbk(std::string_view utf8);
// Pasted text (UTF-8) as GBK: a line break ends it there, other control characters are left out.
// Nothing when what is left has no GBK form.
std::optional<Text> PastedTextToGbk(std::string_view utf8);

class EditText {
public:
    explicit EditText(Text value = {}) : value_(std::move(value)) {}

    const Text& Value() const { return value_; }
    // Replaces the whole text; the caret goes to the start, nothing selected.
    void SetValue(Text value);

    size_t Caret() const { return caret_; }
    size_t Anchor() const { return anchor_; }
    bool HasSelection() const { return caret_ != anchor_; }
    size_t SelectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
    size_t SelectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
    Text SelectedText() const;

    // extend keeps the anchor where it is, so the selection grows or shrinks.
    void SetCaret(size_t position, bool extend);
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveHome(bool extend);
    void MoveEnd(bool extend);
    void SelectAll();

    // Replaces the selection with GBK text that is already clean.
    void Insert(std::string_view gbk);
    void Backspace();
    void Delete();
    // Removes the selection and returns it; empty when nothing was selected.
    Text CutSelection();

private:
    void RemoveSelection();

    Text value_;
    size_t caret_ = 0;
    size_t anchor_ = 0;
};

}  // namespace kelvora
