#pragma once
#include "platform/DateValidator.h"

namespace kelvaro::linuxp {

// Month/day/year texts checked against the real calendar.
class LinuxDateValidator : public platform::DateValidator {
public:
    bool isValidDate(const std::string& text) override;
};

}  // namespace kelvaro::linuxp
