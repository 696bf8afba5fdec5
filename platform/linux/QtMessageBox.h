#pragma once
#include "platform/MessageBox.h"

namespace kelvaro::linuxp {

// A modal QMessageBox with the text shown exactly as given (never as rich text),
// the caption, the buttons and the icon asked for.
class QtMessageBox : public platform::MessageBox {
public:
    platform::Answer show(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                          const std::string& caption) override;
};

}  // namespace kelvaro::linuxp
