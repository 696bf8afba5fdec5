// The date check and the platform family answer.
#include <gtest/gtest.h>

#include "platform/linux/LinuxDateValidator.h"
#include "platform/linux/LinuxPlatformInfo.h"

using kelvaro::linuxp::LinuxDateValidator;
using kelvaro::linuxp::LinuxPlatformInfo;

TEST(LinuxDateValidator, AcceptsRealCalendarDates) {
    LinuxDateValidator v;
    EXPECT_TRUE(v.isValidDate("12/31/96"));
    EXPECT_TRUE(v.isValidDate("1/2/96"));
    EXPECT_TRUE(v.isValidDate("02/29/96"));
    EXPECT_TRUE(v.isValidDate("02/29/00"));  // 2000 is a leap year
    EXPECT_TRUE(v.isValidDate("2/29/2000"));
    EXPECT_TRUE(v.isValidDate("01/31/29"));  // 2029
    EXPECT_TRUE(v.isValidDate("12-31-1999"));
}

TEST(LinuxDateValidator, RejectsWhatIsNotADate) {
    LinuxDateValidator v;
    EXPECT_FALSE(v.isValidDate("13/45/96"));
    EXPECT_FALSE(v.isValidDate("02/29/97"));
    EXPECT_FALSE(v.isValidDate("2/29/1900"));  // a century, not a leap year
    EXPECT_FALSE(v.isValidDate("04/31/96"));
    EXPECT_FALSE(v.isValidDate("00/10/96"));
    EXPECT_FALSE(v.isValidDate("DAILY"));
    EXPECT_FALSE(v.isValidDate(""));
    EXPECT_FALSE(v.isValidDate("12/31"));
    EXPECT_FALSE(v.isValidDate("12/31/996"));
    EXPECT_FALSE(v.isValidDate("12/31-96"));
}

TEST(LinuxPlatformInfo, IsAlwaysOfTheNtFamily) {
    LinuxPlatformInfo info;
    EXPECT_TRUE(info.isWindowsNT());
}
