#include <gtest/gtest.h>

#include "ntbackup/Notification.h"
#include "ntbackup/ProgressModel.h"

namespace kelvaro::ntbackup {
namespace {

const RunLogFile kLog{"C:\\KELVARO.LOG", "/home/alice/KELVARO.LOG"};

struct Case {
    const char* what;
    Operation operation;
    RunResult result;
    int exceptions;
    std::string first;
    std::optional<RunLogFile> log;
    std::optional<Notification> expected;
};

TEST(Notification, TellsHowARunEndedWhenItDidNotEndWell) {
    const std::string denied = "c: ./secret: Cannot open: Permission denied";
    const Case cases[] = {
        {"a good run is quiet", Operation::Backup, {0, "Backup done."}, 0, "", kLog, std::nullopt},
        {"one exception, no log", Operation::Backup, {1, "Backup done with 1 exception."}, 1, denied, std::nullopt,
         Notification{"Backup done with 1 exception", denied, std::nullopt, false}},
        {"one exception, with its log", Operation::Backup, {1, "Backup done with 1 exception."}, 1, denied, kLog,
         Notification{"Backup done with 1 exception", denied + "\nLog file: C:\\KELVARO.LOG", kLog.path, false}},
        {"several exceptions, with the log", Operation::Backup, {1, "Backup done with 3 exceptions."}, 3, denied, kLog,
         Notification{"Backup done with 3 exceptions", "First: " + denied + "\nLog file: C:\\KELVARO.LOG", kLog.path,
                      false}},
        {"several exceptions, no log", Operation::Backup, {1, "Backup done with 12 exceptions."}, 12, denied,
         std::nullopt, Notification{"Backup done with 12 exceptions", "First: " + denied, std::nullopt, false}},
        {"a failure: its reason, never the log", Operation::Backup,
         {2, "Backup failed: None of the selected drives exists."}, 2, denied, kLog,
         Notification{"Backup failed", "None of the selected drives exists.", std::nullopt, true}},
        {"a failure said in a sentence of its own", Operation::Backup, {2, "Backup cancelled."}, 0, "", std::nullopt,
         Notification{"Backup failed", "Backup cancelled.", std::nullopt, true}},
        {"a restore says so", Operation::Restore, {2, "Restore failed: tape 3 holds no backup sets."}, 0, "",
         std::nullopt, Notification{"Restore failed", "tape 3 holds no backup sets.", std::nullopt, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto got = notificationFor(c.operation, c.result, c.exceptions, c.first, c.log);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got) continue;
        EXPECT_EQ(got->summary, c.expected->summary);
        EXPECT_EQ(got->body, c.expected->body);
        EXPECT_EQ(got->showLog, c.expected->showLog);
        EXPECT_EQ(got->failure, c.expected->failure);
    }
}

TEST(Notification, TheModelKeepsTheFirstExceptionForIt) {
    ProgressModel model;
    model.exception("c: ./a: Cannot open: Permission denied");
    model.exception("c: ./b: file changed as we read it");
    const ProgressState s = model.state();
    EXPECT_EQ(s.exceptions, 2);
    EXPECT_EQ(s.firstException, "c: ./a: Cannot open: Permission denied");
    EXPECT_EQ(s.lastException, "c: ./b: file changed as we read it");
}

}  // namespace
}  // namespace kelvaro::ntbackup
