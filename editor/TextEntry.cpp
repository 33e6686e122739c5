#include "editor/TextEntry.h"

#include "common/FormatNumber.h"
#include "editor/IControl.h"
#include "plugin/IParameter.h"

#include <algorithm>

IRectangle TextEntryPopupRect(const IRectangle& controlRect, int itemCount, int longestItem) {
    const int cX = int(float(controlRect.left + controlRect.right) * 0.5f);
    const int cY = int(float(controlRect.top + controlRect.bottom) * 0.5f);
    if (itemCount > 0) {
        const int w = std::max(24 + 8 * longestItem, 24);
        const int h = 36 * (itemCount + 1);
        return IRectangle(cX - w / 2, cY, cX - w / 2 + w, cY + h);
    }
    const int w = std::max(controlRect.Width(), 36);
    const int h = std::max(controlRect.Height(), 16);
    return IRectangle(cX - w / 2, cY - h / 2, cX - w / 2 + w, cY - h / 2 + h);
}

bool TextEntry::Begin(IControl* control, IParameter* param) {
    if (!control || !param || IsOpen()) {
        return false;
    }
    control_ = control;
    param_ = param;
    items_.clear();
    size_t longest = 0;
    for (int i = 0; i < param->ValueTextCount(); ++i) {
        items_.push_back(param->ValueTextFor(i));
        longest = std::max(longest, items_.back().size());
    }
    rect_ = TextEntryPopupRect(control->Rect(), int(items_.size()), int(longest));
    selectAll_ = false;
    ++generation_;
    RefreshFromParam();
    return true;
}

void TextEntry::End() {
    control_ = nullptr;
    param_ = nullptr;
    items_.clear();
    text_.clear();
    selected_ = -1;
    selectAll_ = false;
    SetState(Idle);
    Changed();
}

void TextEntry::FocusChanged(bool gained) {
    const TextEntryState state = State();
    // A choice or a cancel already made waits for its tick.
    if (!IsOpen() || state == Cancel || state == Commit) {
        return;
    }
    SetState(gained ? Focused : Idle);
    selectAll_ = gained;
    Changed();
}

void TextEntry::Type(char c) {
    if (!IsOpen() || !items_.empty()) {
        return;
    }
    if (selectAll_) {
        text_.clear();
        selectAll_ = false;
    }
    if (int(text_.size()) < kMaxChars) {
        text_ += c;
    }
    Changed();
}

void TextEntry::ReplaceText(const char* text) {
    if (!IsOpen() || !items_.empty() || !text) {
        return;
    }
    const std::string replacement = std::string(text).substr(0, size_t(kMaxChars));
    selectAll_ = false;
    if (replacement != text_) {
        text_ = replacement;
        Changed();
    }
}

void TextEntry::Backspace() {
    if (!IsOpen() || !items_.empty()) {
        return;
    }
    if (selectAll_) {
        text_.clear();
        selectAll_ = false;
    } else if (!text_.empty()) {
        text_.pop_back();
    }
    Changed();
}

void TextEntry::Choose(int item) {
    if (!IsOpen() || item < 0 || item >= int(items_.size())) {
        return;
    }
    selected_ = item;
    text_ = items_[size_t(item)];
    SetState(Commit);
    Changed();
}

void TextEntry::SelectMatching() {
    selected_ = -1;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i] == text_) {
            selected_ = int(i);
        }
    }
}

void TextEntry::RefreshFromParam() {
    if (!IsOpen()) {
        return;
    }
    char current[IParameter::kTextSize] = "";
    param_->FormatValue(param_->Value(), false, current);
    text_ = current;
    SelectMatching();
    selectAll_ = State() == Focused;
    Changed();
}

double TextEntry::PlainValue() const {
    const std::string text = text_.substr(0, kMaxChars);
    if (!items_.empty()) {
        int value = 0;
        return param_ && param_->ValueForText(text.c_str(), &value) ? value : 0.0;
    }
    return ParseLeadingNumber(text.c_str());
}

TextEntryView TextEntry::View() const {
    TextEntryView view;
    view.open = IsOpen();
    view.list = !items_.empty();
    view.generation = generation_;
    view.revision = revision_;
    view.rect = rect_;
    view.text = text_;
    view.items = items_;
    view.selected = selected_;
    view.focused = State() == Focused;
    view.selectAll = selectAll_;
    return view;
}
