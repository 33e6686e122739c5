#pragma once

#include "common/IRectangle.h"

#include <atomic>
#include <string>
#include <vector>

class IControl;
class IParameter;

// Where a text entry stands between redraw ticks.
enum TextEntryState : int {
    Idle = 0,        // initial; focus lost; after RefreshText; after an entry ends
    Focused = 1,     // the user is typing: the editor neither repaints nor ticks
    RefreshText = 2, // a tick redrew something: show the parameter's value again
    Cancel = 3,      // a right click on the editor: the next tick ends the entry
    Commit = 4,      // return or a list choice: the next tick writes the value
};

// The popup's rectangle in the editor for a control: a drop-down list 24 + 8 x the longest item
// wide and 36 x (items + 1) high hanging from the control's centre, or, without items, a text
// box of at least 36 x 16 centred on the control.
IRectangle TextEntryPopupRect(const IRectangle& controlRect, int itemCount, int longestItem);

// A copy of what the popup shows, so it can be drawn with no lock held.
struct TextEntryView {
    bool open = false;
    bool list = false;
    unsigned generation = 0; // changes with every new entry
    unsigned revision = 0;   // changes with everything shown
    IRectangle rect;
    std::string text;
    std::vector<std::string> items;
    int selected = -1;
    bool focused = false;
    bool selectAll = false; // the next character typed replaces the text
};

// The popup that lets the user type a value for a control's parameter, or pick one of its
// display texts. The state is read by the window thread without the plug-in lock (to know
// whether the user is typing); everything else is used with the lock held.
class TextEntry {
public:
    static constexpr int kMaxChars = 31;

    // False, changing nothing, when control or parameter is missing or an entry is open.
    bool Begin(IControl* control, IParameter* param);
    void End();
    bool IsOpen() const { return control_ != nullptr; }
    TextEntryState State() const { return state_.load(std::memory_order_acquire); }
    void SetState(TextEntryState state) { state_.store(state, std::memory_order_release); }

    // The user's side.
    void FocusChanged(bool gained);
    void Type(char c);
    void Backspace();
    // The whole text at once, as a system's own text box reports it (at most kMaxChars kept).
    void ReplaceText(const char* text);
    void Return() { SetState(Commit); }
    // A list item chosen (by click or arrow keys) commits it; an index outside the list is
    // ignored.
    void Choose(int item);

    // Shows the parameter's current value again.
    void RefreshFromParam();
    // The plain value the text stands for: the display text's value (0 when no text matches)
    // or the text's leading number (0 when there is none), read the same in every locale.
    double PlainValue() const;

    IControl* Control() const { return control_; }
    IParameter* Param() const { return param_; }
    const std::string& Text() const { return text_; }
    TextEntryView View() const;

private:
    void SelectMatching();
    void Changed() { ++revision_; }

    IControl* control_ = nullptr;
    IParameter* param_ = nullptr;
    std::atomic<TextEntryState> state_{Idle};
    IRectangle rect_;
    std::string text_;
    std::vector<std::string> items_;
    int selected_ = -1;
    bool selectAll_ = false;
    unsigned generation_ = 0;
    unsigned revision_ = 0;
};
