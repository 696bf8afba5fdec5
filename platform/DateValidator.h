#pragma once
#include <string>

namespace kelvaro::platform {

// The platform's date parser: month/day/year texts.
class DateValidator {
public:
    virtual ~DateValidator() = default;
    virtual bool isValidDate(const std::string& text) = 0;
};

}  // namespace kelvaro::platform
