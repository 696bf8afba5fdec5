#pragma once
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <QWidget>
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "ntbackup/RestoreBrowser.h"
#include "ntbackup/RestoreRun.h"
#include "ntbackup/qt/ClashQuestion.h"
#include "ntbackup/qt/FileTreeModel.h"
#include "ntbackup/qt/RestoreRunPanel.h"
#include "ntbackup/qt/SearchModel.h"

namespace kelvaro::ntbackup {

// What the window asks of the machine it runs on.
struct RestoreMachine {
    // The folder a drive letter points to now: the drive's "Original place".
    std::function<std::optional<std::string>(char letter)> drivePlace;
    // Runs on a thread of its own.
    std::function<RunResult(const SelectionRestore&, RunObserver&, const std::atomic<bool>& cancel)> restore;
    // The folder chooser behind Browse (none: the desktop's own).
    std::function<QString(QWidget* parent, const QString& start)> chooseFolder;
};

// The window titled "Restore": a tape, a set and a drive to look at; that drive
// as it stood then, to tick files and folders in (or found by a search, or in an
// older version); where to put them; and the restore. It only mirrors the
// RestoreBrowser and hands it what the user does. A main window, so that a
// screen reader meets it as the application's frame.
class RestoreWindow : public QMainWindow {
    Q_OBJECT
public:
    RestoreWindow(RestoreBrowser& browser, RestoreMachine machine, ClashQuestion& question, std::atomic<bool>& cancel,
                  QWidget* parent = nullptr);

    // What the Restore button does.
    void startRestore();
    bool running() const { return run_->running(); }

signals:
    void runEnded(int status);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseTape();
    void chooseSet();
    void chooseDrive();
    void showVersions();
    void tickVersion(QListWidgetItem* item);
    void search();
    void ticksChanged();
    void notice(const QString& text);
    std::optional<std::size_t> currentRow() const;
    char driveLetter() const;

    RestoreBrowser& browser_;
    RestoreMachine machine_;
    ClashQuestion& question_;
    FileTreeModel tree_;
    SearchModel found_;
    QStackedWidget* pages_;
    QComboBox* tapes_;
    QComboBox* sets_;
    QComboBox* drives_;
    QLineEdit* search_;
    QStackedWidget* lists_;
    QTreeView* files_;
    QTreeView* results_;
    QListWidget* versions_;
    QRadioButton* original_;
    QLabel* originalFolder_;
    QRadioButton* another_;
    QLineEdit* folder_;
    QPushButton* browse_;
    QLabel* notice_;
    QPushButton* restore_;
    RestoreRunPanel* run_;
    QTimer searchSoon_, versionsSoon_;
    std::string versionsOf_;  // the path All Versions shows
    bool closeWhenOver_ = false;
};

}  // namespace kelvaro::ntbackup
