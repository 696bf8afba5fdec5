// A save the store cannot keep: the user is told once, in a box that holds the
// due check back and shows the normal pointer, and told again only after a
// save has succeeded in between.
#include "schedule/SaveSettings.h"
#include "tests/support/AppFixture.h"

namespace kelvaro::test {
namespace {

using SaveSettingsTest = AppFixture;

TEST_F(SaveSettingsTest, AFailedSaveIsToldOnceUntilASaveSucceeds) {
    const platform::CommitError denied{"/home/alice/.config/Kelvaro Workstation/settings.ini", "Permission denied"};
    const std::string told =
        "The settings could not be saved to the file\n/home/alice/.config/Kelvaro Workstation/settings.ini\n\n"
        "Permission denied.";
    int loopsWhileOpen = -1;
    bool busyWhileOpen = true;
    fp.messages.onShow = [&](const fake::ShownMessage&) {
        loopsWhileOpen = ctx.nestedLoops;
        busyWhileOpen = fp.screen.busy;
    };
    fp.store.commitFailure = denied;
    fp.screen.setBusyPointer(true);  // as during the drive scan at start-up

    main().Check1.setChecked(true);
    main().Check2.setChecked(true);

    ASSERT_EQ(messageTexts(), std::vector<std::string>{told});
    EXPECT_EQ(lastMessageShown().buttons, platform::Buttons::Ok);
    EXPECT_EQ(lastMessageShown().icon, platform::Icon::Exclamation);
    EXPECT_EQ(lastMessageShown().caption, "Kelvaro Workstation");
    EXPECT_EQ(loopsWhileOpen, 1);
    EXPECT_FALSE(busyWhileOpen);
    EXPECT_EQ(fullSaves(), 2);
    EXPECT_EQ(stored("Backup Type", "Verify after Backup"), "/V ");  // held in memory for the next try

    fp.store.commitFailure.reset();
    main().Check3.setChecked(true);
    EXPECT_EQ(messageCount(), 1u);
    fp.store.commitFailure = denied;
    main().Check4.setChecked(true);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{told, told}));
}

}  // namespace
}  // namespace kelvaro::test
