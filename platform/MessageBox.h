#pragma once
#include <string>

namespace kelvaro::platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Exclamation, Question, Critical };
enum class Answer { Ok, Yes, No };

// A modal message box; returns when the user has answered.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual Answer show(const std::string& text, Buttons buttons, Icon icon,
                        const std::string& caption) = 0;
};

}  // namespace kelvaro::platform
