#pragma once

namespace kelvaro::platform {

struct ScreenSize {
    int width = 0;   // twips
    int height = 0;  // twips
};

// Screen size in twips and the application-wide busy pointer.
class Screen {
public:
    virtual ~Screen() = default;
    virtual ScreenSize size() = 0;
    virtual void setBusyPointer(bool busy) = 0;
};

}  // namespace kelvaro::platform
