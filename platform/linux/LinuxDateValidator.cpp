#include "platform/linux/LinuxDateValidator.h"

#include "platform/DateRules.h"

namespace kelvaro::linuxp {

bool LinuxDateValidator::isValidDate(const std::string& text) { return platform::isValidMonthDayYear(text); }

}  // namespace kelvaro::linuxp
