// The Restore window over real tapes: what it shows, what a tick selects, and
// what reaches the restore.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTreeView>

#include "ntbackup/RestoreBrowser.h"
#include "ntbackup/qt/RestoreWindow.h"
#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

struct AnswerGiven : ClashQuestion {
    std::optional<ClashAnswer> answer;
    std::vector<std::size_t> asked;  // the number of clashes, each time asked
    std::optional<ClashAnswer> ask(std::size_t clashes, QWidget*) override {
        asked.push_back(clashes);
        return answer;
    }
};

std::vector<std::string> keysOf(const std::map<std::string, Version>& m) {
    std::vector<std::string> out;
    for (const auto& [k, v] : m) out.push_back(k);
    return out;
}

class RestoreWindowTest : public NtbackupTest {
protected:
    // Set 1 Normal; set 2 Incremental "after the trip": the letter changed, the old note deleted.
    void SetUp() override {
        fs::create_directories(c() + "/docs/deep");
        writeFile(c() + "/docs/letter.txt", "first");
        writeFile(c() + "/docs/old note", "old");
        writeFile(c() + "/docs/deep/plan", "p");
        writeFile(c() + "/top.txt", "top");
        ASSERT_EQ(run("c: /T Normal").status, 0);
        writeFile(c() + "/docs/letter.txt", "second!");
        fs::remove(c() + "/docs/old note");
        ASSERT_EQ(run("c: /T Incremental /D \"after the trip\"").status, 0);
        window = std::make_unique<RestoreWindow>(browser, machine(), question, runCancel);
        window->show();
        QObject::connect(window.get(), &RestoreWindow::runEnded, [this](int s) { ended.push_back(s); });
    }

    RestoreMachine machine() {
        return {[this](char letter) { return drives.target(letter); },
                [this](const SelectionRestore& what, RunObserver& o, const std::atomic<bool>& c) {
                    restores.push_back(what);
                    RunContext ctx{tar, tar, lock, drives, data(), {}, registry, clock, c, o};
                    return restoreSelection(what, ctx);
                },
                {}};
    }
    template <class W>
    W* child(const char* name) {
        auto* w = window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList items(const char* combo) {
        QStringList out;
        auto* box = child<QComboBox>(combo);
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
        return out;
    }
    QStringList rowsOf(QAbstractItemModel* m, const QModelIndex& parent = {}) {
        while (m->canFetchMore(parent)) m->fetchMore(parent);
        QStringList out;
        for (int i = 0; i < m->rowCount(parent); ++i)
            out << m->index(i, 0, parent).data().toString() + " " + m->index(i, 1, parent).data().toString();
        return out;
    }
    QModelIndex rowNamed(QAbstractItemModel* m, const QString& name, const QModelIndex& parent = {}) {
        rowsOf(m, parent);
        for (int i = 0; i < m->rowCount(parent); ++i)
            if (m->index(i, 0, parent).data() == name) return m->index(i, 0, parent);
        ADD_FAILURE() << "no row " << name.toStdString();
        return {};
    }
    QAbstractItemModel* files() { return child<QTreeView>("Files")->model(); }
    void choose(const char* combo, int index) {
        child<QComboBox>(combo)->setCurrentIndex(index);
        emit child<QComboBox>(combo)->activated(index);
    }
    // The event loop runs until `done` holds (or a long while has gone: the test then fails on what it expects).
    static void runUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 3000 && !done(); ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
    }
    void restoreAndWait() {
        const auto before = ended.size();
        child<QPushButton>("Restore")->click();
        runUntil([&] { return ended.size() != before; });
    }

    std::atomic<bool> reading{false}, runCancel{false};
    RestoreBrowser browser{data() + "/tapes", tar, reading};
    AnswerGiven question;
    std::vector<SelectionRestore> restores;
    std::vector<int> ended;
    std::unique_ptr<RestoreWindow> window;
};

TEST_F(RestoreWindowTest, ChoosingTapeSetAndDriveFillsTheTree) {
    EXPECT_EQ(window->windowTitle(), "Restore");
    EXPECT_EQ(items("Tape:"), QStringList{"Tape 1 (2 sets)"});
    const QStringList sets = items("Set:");
    ASSERT_EQ(sets.size(), 2);
    EXPECT_TRUE(sets[0].startsWith("Set 2  ") && sets[0].endsWith("  Incremental  after the trip")) << sets[0].toStdString();
    EXPECT_TRUE(sets[1].startsWith("Set 1  ") && sets[1].endsWith("  Normal")) << sets[1].toStdString();
    EXPECT_EQ(child<QComboBox>("Set:")->currentIndex(), 0);  // the newest
    EXPECT_EQ(items("Drive:"), QStringList{QString::fromStdString("c: [" + c() + "]")});
    EXPECT_EQ(child<QLabel>("lblOriginalPlace")->text().toStdString(), c());

    EXPECT_EQ(rowsOf(files()), (QStringList{"docs ", "top.txt 3 bytes"}));
    EXPECT_EQ(rowsOf(files(), rowNamed(files(), "docs")), (QStringList{"deep ", "letter.txt 7 bytes"}));
    choose("Set:", 1);  // as it stood before: the old note is there, the letter is the first one
    EXPECT_EQ(rowsOf(files(), rowNamed(files(), "docs")), (QStringList{"deep ", "letter.txt 5 bytes", "old note 3 bytes"}));
}

TEST_F(RestoreWindowTest, AFolderTickedInTheTreeAndAFileFoundBySearchReachTheRestoreOnce) {
    const QModelIndex docs = rowNamed(files(), "docs");
    files()->setData(docs, Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(rowNamed(files(), "letter.txt", docs).data(Qt::CheckStateRole), Qt::Checked);  // the folder takes what is below
    // Enter on a row toggles its box: the plan is left out again, and the folder is partly ticked.
    auto* tree = child<QTreeView>("Files");
    tree->setCurrentIndex(rowNamed(files(), "plan", rowNamed(files(), "deep", docs)));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(tree, &enter);
    EXPECT_EQ(docs.data(Qt::CheckStateRole), Qt::PartiallyChecked);

    child<QLineEdit>("Search")->setText("LETTER");
    runUntil([&] { return child<QTreeView>("Search Results")->isVisible(); });
    auto* found = child<QTreeView>("Search Results")->model();
    EXPECT_EQ(rowsOf(found), QStringList{"docs/letter.txt 7 bytes"});
    EXPECT_EQ(found->index(0, 0).data(Qt::CheckStateRole), Qt::Checked);  // ticked through its folder
    child<QLineEdit>("Search")->setText("top");
    runUntil([&] { return rowsOf(found) == QStringList{"top.txt 3 bytes"}; });
    found->setData(found->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(rowNamed(files(), "top.txt").data(Qt::CheckStateRole), Qt::Checked);

    const std::string target = tmp / "elsewhere";
    child<QRadioButton>("Another folder:")->setChecked(true);
    child<QLineEdit>("Folder")->setText(QString::fromStdString(target));
    restoreAndWait();
    ASSERT_EQ(restores.size(), 1u);
    EXPECT_EQ(keysOf(restores[0].wanted), (std::vector<std::string>{"docs", "docs/deep", "docs/letter.txt", "top.txt"}));
    EXPECT_EQ(restores[0].target, target);
    EXPECT_TRUE(question.asked.empty());
    EXPECT_EQ(ended, std::vector<int>{0});
    EXPECT_EQ(child<QLabel>("lblSummary")->text(), "Restore done: 2 files restored.");
    EXPECT_EQ(treeOf(target), (std::map<std::string, std::string>{
                                  {"docs", "dir"}, {"docs/deep", "dir"}, {"docs/letter.txt", "second!"}, {"top.txt", "top"}}));
    EXPECT_NE(window->findChild<QPushButton*>("Close"), nullptr);
}

TEST_F(RestoreWindowTest, TheClashQuestionsAnswerReachesTheRestore) {
    const QModelIndex docs = rowNamed(files(), "docs");
    files()->setData(rowNamed(files(), "letter.txt", docs), Qt::Checked, Qt::CheckStateRole);
    files()->setData(rowNamed(files(), "top.txt"), Qt::Checked, Qt::CheckStateRole);
    writeFile(c() + "/docs/letter.txt", "third");

    question.answer.reset();  // Cancel: nothing starts
    child<QPushButton>("Restore")->click();
    EXPECT_EQ(question.asked, std::vector<std::size_t>{2});
    EXPECT_TRUE(restores.empty());

    question.answer = ClashAnswer::KeepBoth;
    restoreAndWait();
    ASSERT_EQ(restores.size(), 1u);
    EXPECT_EQ(restores[0].answer, ClashAnswer::KeepBoth);
    EXPECT_EQ(restores[0].target, c());
    EXPECT_EQ(readFile(c() + "/docs/letter.txt"), "third");
    EXPECT_EQ(readFile(c() + "/" + keptBothName("docs/letter.txt", std::time(nullptr))), "second!");
}

TEST_F(RestoreWindowTest, AnOlderVersionTickedInAllVersionsIsTheOneRestored) {
    auto* tree = child<QTreeView>("Files");
    tree->setCurrentIndex(rowNamed(files(), "letter.txt", rowNamed(files(), "docs")));
    auto* versions = child<QListWidget>("All Versions");
    runUntil([&] { return versions->count() >= 2; });
    ASSERT_EQ(versions->count(), 2);
    EXPECT_TRUE(versions->item(0)->text().startsWith("Set 1  ")) << versions->item(0)->text().toStdString();
    EXPECT_TRUE(versions->item(0)->text().contains("  Normal  5 bytes  modified ")) << versions->item(0)->text().toStdString();
    versions->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(versions->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(tree->currentIndex().siblingAtColumn(0).data(Qt::CheckStateRole), Qt::Checked);

    const auto wanted = browser.selection();
    ASSERT_EQ(keysOf(wanted), std::vector<std::string>{"docs/letter.txt"});
    EXPECT_EQ(wanted.at("docs/letter.txt").set, 1);
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
