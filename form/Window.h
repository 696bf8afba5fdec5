#pragma once
#include <functional>
#include <string>

#include "form/Controls.h"

namespace kelvaro::form {

enum class WindowState { Normal = 0, Minimized = 1 };

// A top-level window held as data: caption, icon, state, stacking.
class Window : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption) { if (caption_ != caption) { caption_ = caption; notify(Change::State); } }
    const std::string& iconPath() const { return iconPath_; }
    void setIconPath(const std::string& path) { if (iconPath_ != path) { iconPath_ = path; notify(Change::State); } }
    WindowState state() const { return state_; }
    void setState(WindowState state) { if (state_ != state) { state_ = state; notify(Change::State); } }
    bool topmost() const { return topmost_; }
    void setTopmost(bool on) { if (topmost_ != on) { topmost_ = on; notify(Change::State); } }
    // Position in twips, set by the centring routine.
    int left() const { return left_; }
    int top() const { return top_; }
    void move(int left, int top) { if (left_ != left || top_ != top) { left_ = left; top_ = top; notify(Change::State); } }
    // Client size in twips.
    int width() const { return width_; }
    int height() const { return height_; }
    void setSize(int width, int height) { width_ = width; height_ = height; }

    bool isOpen() const { return open_; }
    void markOpen() { open_ = true; }
    // Closes (unloads) the window; the view follows.
    void close() { if (open_) { open_ = false; notify(Change::State); if (onClosed) onClosed(); } }
    std::function<void()> onClosed;

private:
    std::string caption_;
    std::string iconPath_;
    WindowState state_ = WindowState::Normal;
    bool topmost_ = false;
    bool open_ = false;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace kelvaro::form
