#pragma once
#include <functional>
#include <string>
#include <vector>

namespace kelvaro::form {

// What a view needs to redo after a model change.
enum class Change { State, Focus, Redraw };

// A control held as plain data. Setting a value from code runs the control's
// handler exactly as a user's action does; setting the value it already has runs
// nothing. Views mirror the data through the observer and forward user events.
class Control {
public:
    explicit Control(std::string name) : name_(std::move(name)) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { if (enabled_ != on) { enabled_ = on; notify(Change::State); } }
    bool visible() const { return visible_; }
    void setVisible(bool on) { if (visible_ != on) { visible_ = on; notify(Change::State); } }
    // Asks the view to move the keyboard focus here.
    void setFocus() { notify(Change::Focus); }
    // Asks the view to repaint at once.
    void refresh() { notify(Change::Redraw); }

    // Several views may watch one control; each gets every change.
    void addObserver(std::function<void(Change)> observer) { observers_.push_back(std::move(observer)); }

protected:
    void notify(Change change) {
        for (auto& o : observers_) o(change);
    }

private:
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    std::vector<std::function<void(Change)>> observers_;
};

class Label : public Control {
public:
    using Control::Control;
    Label(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption) { if (caption_ != caption) { caption_ = caption; notify(Change::State); } }

private:
    std::string caption_;
};

// A push button or a menu entry: it has only a click.
class Button : public Control {
public:
    Button(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }
    bool checked() const { return checked_; }
    void setChecked(bool on) { if (checked_ != on) { checked_ = on; notify(Change::State); } }
    std::function<void()> onClick;
    void click() { if (onClick) onClick(); }

private:
    std::string caption_;
    bool checked_ = false;  // menu check mark
};

class CheckBox : public Control {
public:
    CheckBox(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }
    bool checked() const { return checked_; }
    // Runs the click handler when the state changes.
    void setChecked(bool on) {
        if (checked_ == on) return;
        checked_ = on;
        notify(Change::State);
        if (onClick) onClick();
    }
    // A user's click toggles the box.
    void click() { setChecked(!checked_); }
    std::function<void()> onClick;

private:
    std::string caption_;
    bool checked_ = false;
};

class OptionGroup;

// One button of an option group; exactly one of the group is selected.
class OptionButton : public Control {
public:
    OptionButton(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }
    bool value() const { return value_; }
    // Selecting clears the other buttons of the group (their handlers do not run)
    // and runs this button's handler; selecting the selected button runs nothing.
    void select();
    std::function<void()> onClick;

private:
    friend class OptionGroup;
    void setValueQuietly(bool on) { if (value_ != on) { value_ = on; notify(Change::State); } }
    std::string caption_;
    bool value_ = false;
    OptionGroup* group_ = nullptr;
};

class OptionGroup {
public:
    void add(OptionButton& button) { button.group_ = this; buttons_.push_back(&button); }
    const std::vector<OptionButton*>& buttons() const { return buttons_; }
    // The selected button, or nullptr.
    OptionButton* selected() const {
        for (auto* b : buttons_) if (b->value()) return b;
        return nullptr;
    }

private:
    friend class OptionButton;
    std::vector<OptionButton*> buttons_;
};

inline void OptionButton::select() {
    if (value_) return;
    if (group_) for (auto* b : group_->buttons_) if (b != this) b->setValueQuietly(false);
    value_ = true;
    notify(Change::State);
    if (onClick) onClick();
}

class TextBox : public Control {
public:
    TextBox(std::string name, std::string text, int maxLength = 0)
        : Control(std::move(name)), text_(std::move(text)), maxLength_(maxLength) {}
    const std::string& text() const { return text_; }
    int maxLength() const { return maxLength_; }  // 0: no limit
    // Code may set any text; the change handler runs when the text differs.
    void setText(const std::string& text) {
        if (text_ == text) return;
        text_ = text;
        notify(Change::State);
        if (onChange) onChange();
    }
    // Typed text is cut to the length limit (counted in characters, not bytes).
    void type(const std::string& text) { setText(limited(text)); }
    void loseFocus() { if (onLostFocus) onLostFocus(); }
    std::string limited(const std::string& text) const;
    std::function<void()> onChange;
    std::function<void()> onLostFocus;

private:
    std::string text_;
    int maxLength_ = 0;
};

// A list of texts with a current entry (the outline lists and the drive lists).
class ListBox : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    int currentIndex() const { return current_; }  // -1: none
    void setCurrentIndex(int index) { if (current_ != index) { current_ = index; notify(Change::State); } }
    void addItem(const std::string& text) { items_.push_back(text); notify(Change::State); }
    void removeItem(int index);
    void clear() { if (!items_.empty() || current_ != -1) { items_.clear(); current_ = -1; notify(Change::State); } }
    // A user's double click on an entry (or on no entry, index -1).
    void doubleClick(int index) { setCurrentIndex(index); if (onDoubleClick) onDoubleClick(); }
    std::function<void()> onDoubleClick;

private:
    std::vector<std::string> items_;
    int current_ = -1;
};

// An editable drop-down list.
class ComboBox : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    void addItem(const std::string& text) { items_.push_back(text); notify(Change::State); }
    const std::string& text() const { return text_; }
    void setText(const std::string& text) { if (text_ != text) { text_ = text; notify(Change::State); } }
    // A user's choice of a list entry: the text becomes the entry and the click runs.
    void choose(int index) {
        if (index < 0 || index >= static_cast<int>(items_.size())) return;
        setText(items_[index]);
        if (onClick) onClick();
    }
    std::function<void()> onClick;

private:
    std::vector<std::string> items_;
    std::string text_;
};

}  // namespace kelvaro::form
