#include "ntbackup/qt/RestoreWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSplitter>
#include <QVBoxLayout>

#include "ntbackup/BackupType.h"
#include "ntbackup/ListRun.h"
#include "ntbackup/PlaceRestore.h"
#include "ntbackup/qt/ValueLabel.h"

namespace kelvaro::ntbackup {

namespace {

// A control named as the window calls it, for a screen reader and for tests alike.
template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    w->setAccessibleName(name);
    return w;
}

QLabel* labelFor(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QTreeView* fileView(QAbstractItemModel* model, bool tree, const char* name, QWidget* parent) {
    auto* view = named(new QTreeView(parent), name);
    view->setModel(model);
    view->setRootIsDecorated(tree);
    view->setUniformRowHeights(true);  // big folders: no row is measured on its own
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAllColumnsShowFocus(true);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    view->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    view->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    return view;
}

QString setText(const BackupSet& s) {
    QString text = QString("Set %1  %2  %3").arg(s.number).arg(QString::fromStdString(s.date)).arg(typeName(s.type));
    if (!s.description.empty()) text += "  " + QString::fromStdString(s.description);
    return text;
}

}  // namespace

RestoreWindow::RestoreWindow(RestoreBrowser& browser, RestoreMachine machine, ClashQuestion& question,
                             std::atomic<bool>& cancel, QWidget* parent)
    : QMainWindow(parent), browser_(browser), machine_(std::move(machine)), question_(question), tree_(browser),
      found_(browser) {
    setObjectName("RestoreWindow");
    setWindowTitle("Restore");
    resize(900, 640);

    pages_ = new QStackedWidget(this);
    auto* page = new QWidget(pages_);

    // What to look at. The widgets are made in the order of the window, which is the tab order.
    auto* choose = new QHBoxLayout;
    tapes_ = named(new QComboBox(page), "Tape:");
    sets_ = named(new QComboBox(page), "Set:");
    drives_ = named(new QComboBox(page), "Drive:");
    sets_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (auto [text, combo, stretch] : {std::tuple{"&Tape:", tapes_, 0}, {"S&et:", sets_, 1}, {"&Drive:", drives_, 0}}) {
        choose->addWidget(labelFor(text, combo, page));
        choose->addWidget(combo, stretch);
    }
    auto* find = new QHBoxLayout;
    search_ = named(new QLineEdit(page), "Search");
    search_->setPlaceholderText("Names containing…");
    search_->setClearButtonEnabled(true);
    find->addWidget(labelFor("Searc&h:", search_, page));
    find->addWidget(search_);

    lists_ = new QStackedWidget(page);
    files_ = fileView(&tree_, true, "Files", lists_);
    results_ = fileView(&found_, false, "Search Results", lists_);
    lists_->addWidget(files_);
    lists_->addWidget(results_);
    auto* versionsBox = new QWidget(page);
    auto* versionsLayout = new QVBoxLayout(versionsBox);
    versionsLayout->setContentsMargins(0, 0, 0, 0);
    versions_ = named(new QListWidget(versionsBox), "All Versions");
    versionsLayout->addWidget(labelFor("All &Versions", versions_, versionsBox));
    versionsLayout->addWidget(versions_);
    auto* split = new QSplitter(Qt::Vertical, page);
    split->addWidget(lists_);
    split->addWidget(versionsBox);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    auto* where = new QGroupBox("Restore to", page);
    auto* whereLayout = new QGridLayout(where);
    original_ = named(new QRadioButton("&Original place", where), "Original place");
    originalFolder_ = valueLabel("lblOriginalPlace", "The folder the drive points to now", where);
    another_ = named(new QRadioButton("&Another folder:", where), "Another folder:");
    folder_ = named(new QLineEdit(where), "Folder");
    browse_ = named(new QPushButton("&Browse…", where), "Browse");
    original_->setChecked(true);
    whereLayout->addWidget(original_, 0, 0);
    whereLayout->addWidget(originalFolder_, 0, 1, 1, 2);
    whereLayout->addWidget(another_, 1, 0);
    whereLayout->addWidget(folder_, 1, 1);
    whereLayout->addWidget(browse_, 1, 2);
    whereLayout->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    notice_ = valueLabel("lblNotice", "Notice", page);
    restore_ = named(new QPushButton("&Restore", page), "Restore");
    restore_->setDefault(true);
    bottom->addWidget(notice_, 1);
    bottom->addStretch();
    bottom->addWidget(restore_);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(choose);
    layout->addLayout(find);
    layout->addWidget(split, 1);
    layout->addWidget(where);
    layout->addLayout(bottom);

    run_ = new RestoreRunPanel(cancel, pages_);
    pages_->addWidget(page);
    pages_->addWidget(run_);
    setCentralWidget(pages_);

    connect(tapes_, &QComboBox::activated, this, &RestoreWindow::chooseTape);
    connect(sets_, &QComboBox::activated, this, &RestoreWindow::chooseSet);
    connect(drives_, &QComboBox::activated, this, &RestoreWindow::chooseDrive);
    searchSoon_.setSingleShot(true);
    searchSoon_.setInterval(150);
    connect(&searchSoon_, &QTimer::timeout, this, &RestoreWindow::search);
    connect(search_, &QLineEdit::textChanged, this, [this] { searchSoon_.start(); });
    // Enter in the search goes on to its results, the first one current unless one is already.
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        search();
        if (found_.rowCount() == 0) return;
        if (!results_->currentIndex().isValid()) results_->setCurrentIndex(found_.index(0, 0));
        results_->setFocus();
    });
    // Reading every set for a file's versions waits until the selection rests.
    versionsSoon_.setSingleShot(true);
    versionsSoon_.setInterval(150);
    connect(&versionsSoon_, &QTimer::timeout, this, &RestoreWindow::showVersions);
    for (QTreeView* view : {files_, results_}) {
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { versionsSoon_.start(); });
        // A row selected without the keyboard (a screen reader's Toggle on a cell) becomes the
        // current one, which Enter ticks and All Versions shows.
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view, [view](const QItemSelection& on) {
            if (!on.indexes().isEmpty() && !on.contains(view->currentIndex()))
                view->selectionModel()->setCurrentIndex(on.indexes().first(), QItemSelectionModel::NoUpdate);
        });
        view->installEventFilter(this);
    }
    connect(&tree_, &FileTreeModel::ticked, this, &RestoreWindow::ticksChanged);
    connect(&found_, &SearchModel::ticked, this, &RestoreWindow::ticksChanged);
    connect(versions_, &QListWidget::itemChanged, this, &RestoreWindow::tickVersion);
    connect(folder_, &QLineEdit::textEdited, this, [this] { another_->setChecked(true); });
    connect(browse_, &QPushButton::clicked, this, [this] {
        const QString start = folder_->text().isEmpty() ? QDir::homePath() : folder_->text();
        const QString chosen = machine_.chooseFolder
                                   ? machine_.chooseFolder(this, start)
                                   : QFileDialog::getExistingDirectory(this, "Restore into", start);
        if (chosen.isEmpty()) return;
        folder_->setText(chosen);
        another_->setChecked(true);
    });
    connect(restore_, &QPushButton::clicked, this, &RestoreWindow::startRestore);
    connect(run_, &RestoreRunPanel::ended, this, [this](int status) {
        emit runEnded(status);
        if (closeWhenOver_) close();
    });
    connect(run_, &RestoreRunPanel::closeClicked, this, &QWidget::close);

    const auto tapes = browser_.tapes();
    for (const auto& t : tapes)
        tapes_->addItem(QString("Tape %1 (%2 %3)").arg(t.number).arg(t.sets).arg(t.sets == 1 ? "set" : "sets"),
                        t.number);
    if (tapes.empty()) {
        notice("There are no backups yet.");
        restore_->setEnabled(false);
        return;
    }
    // Tape 1 is where a backup goes unless told otherwise.
    tapes_->setCurrentIndex(std::max(0, tapes_->findData(1)));
    chooseTape();
}

void RestoreWindow::notice(const QString& text) { showValue(notice_, text); }

char RestoreWindow::driveLetter() const {
    const auto& d = browser_.drive();
    return d.empty() ? 'c' : d[0];
}

void RestoreWindow::chooseTape() {
    browser_.chooseTape(tapes_->currentData().toInt());
    sets_->clear();
    for (const auto& s : browser_.sets()) sets_->addItem(setText(s), s.number);  // newest first
    sets_->setCurrentIndex(0);
    chooseSet();
}

void RestoreWindow::chooseSet() {
    const int set = sets_->currentData().toInt();
    const std::string before = browser_.drive();
    drives_->clear();
    for (const auto& s : browser_.sets()) {
        if (s.number != set) continue;
        for (const auto& d : browser_.drivesOf(set))
            drives_->addItem(QString("%1: [%2]").arg(QString::fromStdString(d)).arg(
                                 QString::fromStdString(s.archiveOf(d)->folder)),
                             QString::fromStdString(d));
    }
    // The drive looked at stays, when this set holds it too.
    drives_->setCurrentIndex(std::max(0, drives_->findData(QString::fromStdString(before))));
    chooseDrive();
}

void RestoreWindow::chooseDrive() {
    const std::string drive = drives_->currentData().toString().toStdString();
    const std::string why = drive.empty() ? "This set holds no drive." : browser_.choose(sets_->currentData().toInt(), drive);
    notice(QString::fromStdString(why));
    tree_.reload();
    versionsOf_.clear();
    versions_->clear();
    if (!search_->text().isEmpty()) search();
    const auto place = drive.empty() ? std::nullopt : machine_.drivePlace(drive[0]);
    showValue(originalFolder_, place ? QString::fromStdString(*place)
                                     : QString("Drive %1: points to no folder now.").arg(QString::fromStdString(drive)));
}

void RestoreWindow::search() {
    found_.search(search_->text());
    lists_->setCurrentWidget(search_->text().isEmpty() ? files_ : results_);
}

std::optional<std::size_t> RestoreWindow::currentRow() const {
    if (lists_->currentWidget() == results_) return found_.rowOf(results_->currentIndex());
    return tree_.rowOf(files_->currentIndex());
}

void RestoreWindow::showVersions() {
    const auto row = currentRow();
    const std::string path = row && !browser_.row(*row).folder() ? browser_.row(*row).path : "";
    if (path != versionsOf_) {
        versionsOf_ = path;
        const QSignalBlocker quiet(versions_);
        versions_->clear();
        if (!path.empty())
            for (const auto& v : browser_.versions(path)) {
                auto* item = new QListWidgetItem(QString::fromStdString(versionLine(*v.set, v.entry)), versions_);
                item->setData(Qt::UserRole, v.set->number);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            }
    }
    if (path.empty()) return;
    // The version that would be restored: the one picked, else the one the set shows.
    const auto i = browser_.find(path);
    const int picked = browser_.pickedVersion(path);
    const int chosen = picked ? picked : (i ? browser_.row(*i).version.set : 0);
    const bool on = browser_.ticked(path);
    const QSignalBlocker quiet(versions_);
    for (int n = 0; n < versions_->count(); ++n) {
        auto* item = versions_->item(n);
        item->setCheckState(on && item->data(Qt::UserRole).toInt() == chosen ? Qt::Checked : Qt::Unchecked);
    }
}

void RestoreWindow::tickVersion(QListWidgetItem* item) {
    if (versionsOf_.empty()) return;
    const int set = item->data(Qt::UserRole).toInt();
    const auto i = browser_.find(versionsOf_);
    const int shown = i ? browser_.row(*i).version.set : 0;
    if (item->checkState() == Qt::Checked) {
        browser_.pickVersion(versionsOf_, set == shown ? 0 : set);
        browser_.tick(versionsOf_, true);
    } else {
        // The version ticked is untaken: nothing of the file is restored.
        browser_.pickVersion(versionsOf_, 0);
        browser_.tick(versionsOf_, false);
    }
    ticksChanged();
}

void RestoreWindow::ticksChanged() {
    tree_.refreshTicks();
    found_.refreshTicks();
    showVersions();
    if (notice_->text() == "Tick the files to restore first.") notice({});
}

bool RestoreWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a row toggles its box, as a click on it does.
    auto* view = qobject_cast<QTreeView*>(watched);
    if (!view || event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return QMainWindow::eventFilter(watched, event);
    const QModelIndex cell = view->currentIndex().siblingAtColumn(0);
    if (!cell.isValid()) return true;
    const bool on = cell.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    view->model()->setData(cell, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return true;
}

void RestoreWindow::startRestore() {
    if (!browser_.set() || browser_.drive().empty()) return notice("Choose a set and a drive first.");
    auto wanted = browser_.selection();
    if (wanted.empty()) return notice("Tick the files to restore first.");
    std::string target;
    if (original_->isChecked()) {
        const auto place = machine_.drivePlace(driveLetter());
        if (!place) return notice(QString("Drive %1: points to no folder now: choose another folder.").arg(driveLetter()));
        target = *place;
    } else {
        const QString typed = QDir::cleanPath(folder_->text().trimmed());
        if (folder_->text().trimmed().isEmpty()) return notice("Type the folder to restore into, or browse to it.");
        if (!QDir::isAbsolutePath(typed)) return notice("The folder must be a full path, like /home/alice/restored.");
        target = typed.toStdString();
    }
    std::optional<ClashAnswer> answer;
    if (const auto clashes = clashesOf(wanted, target); !clashes.empty()) {
        answer = question_.ask(clashes.size(), this);
        if (!answer) return;  // nothing is written
    }
    notice({});
    SelectionRestore what{browser_.tape(), driveLetter(), std::move(wanted), target, answer};
    pages_->setCurrentWidget(run_);
    run_->start([restore = machine_.restore, what](RunObserver& observer, const std::atomic<bool>& cancel) {
        return restore(what, observer, cancel);
    });
}

void RestoreWindow::closeEvent(QCloseEvent* event) {
    if (!run_->running()) return event->accept();
    // Closing a running restore cancels it; the window goes once the run has ended.
    event->ignore();
    closeWhenOver_ = true;
    run_->cancelRun();
}

}  // namespace kelvaro::ntbackup
