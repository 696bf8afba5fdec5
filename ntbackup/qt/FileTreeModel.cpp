#include "ntbackup/qt/FileTreeModel.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

#include "ntbackup/BackupRun.h"
#include "ntbackup/ProgressModel.h"

namespace kelvaro::ntbackup {

namespace {

constexpr int kBatch = 1000;

std::string parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

QVariant rowCell(const RestoreBrowser& browser, std::size_t i, int column, int role, bool fullPath) {
    const auto& row = browser.row(i);
    if (role == Qt::CheckStateRole && column == 0) {
        if (row.folder() && browser.partlyTicked(row.path)) return Qt::PartiallyChecked;
        return browser.ticked(row.path) ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::DecorationRole && column == 0)
        return QApplication::style()->standardIcon(row.folder() ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    if (role != Qt::DisplayRole) return {};
    switch (column) {
    case 0: return QString::fromStdString(fullPath ? row.path : row.name);
    case 1: return row.folder() ? QString() : QString::fromStdString(sizeText(row.version.entry.size));
    case 2: return QString::fromStdString(localStamp(static_cast<std::time_t>(row.version.entry.mtime)));
    }
    return {};
}

bool tickRow(RestoreBrowser& browser, std::size_t row, const QVariant& value) {
    if (!value.canConvert<int>()) return false;
    browser.tick(browser.row(row).path, value.toInt() != Qt::Unchecked);
    return true;
}

QVariant fileColumnHeader(int section, const char* first) {
    switch (section) {
    case 0: return QString(first);
    case 1: return QString("Size");
    case 2: return QString("Modified");
    }
    return {};
}

FileTreeModel::FileTreeModel(RestoreBrowser& browser, QObject* parent) : QAbstractItemModel(parent), browser_(browser) {}

void FileTreeModel::reload() {
    beginResetModel();
    fetched_.clear();
    place_.assign(browser_.size(), 0);
    // Only the places of the rows in a folder matter; each row is in one folder.
    for (std::size_t i = 0; i < browser_.size(); ++i) {
        const auto& row = browser_.row(i);
        if (!row.folder()) continue;
        const auto& list = browser_.children(row.path);
        for (std::size_t n = 0; n < list.size(); ++n) place_[list[n]] = static_cast<std::uint32_t>(n);
    }
    const auto& top = browser_.children("");
    for (std::size_t n = 0; n < top.size(); ++n) place_[top[n]] = static_cast<std::uint32_t>(n);
    fetched_[kDrive] = std::min<int>(kBatch, static_cast<int>(top.size()));
    endResetModel();
}

void FileTreeModel::refreshTicks() {
    for (const auto& [folder, count] : fetched_) {
        if (count == 0) continue;
        const QModelIndex parent = indexOfFolder(folder);
        emit dataChanged(index(0, 0, parent), index(count - 1, 0, parent), {Qt::CheckStateRole});
    }
}

std::optional<std::size_t> FileTreeModel::rowOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return std::nullopt;
    return static_cast<std::size_t>(index.internalId());
}

std::size_t FileTreeModel::folderOf(const QModelIndex& parent) const {
    return parent.isValid() ? static_cast<std::size_t>(parent.internalId()) : kDrive;
}

const std::vector<std::size_t>& FileTreeModel::childrenOf(std::size_t folder) const {
    return browser_.children(folder == kDrive ? std::string() : browser_.row(folder).path);
}

QModelIndex FileTreeModel::indexOfFolder(std::size_t folder) const {
    return folder == kDrive ? QModelIndex() : createIndex(static_cast<int>(place_[folder]), 0, folder);
}

QModelIndex FileTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= 3 || (parent.isValid() && parent.column() != 0)) return {};
    const auto& list = childrenOf(folderOf(parent));
    if (static_cast<std::size_t>(row) >= list.size()) return {};
    return createIndex(row, column, list[static_cast<std::size_t>(row)]);
}

QModelIndex FileTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    const std::string folder = parentOf(browser_.row(static_cast<std::size_t>(child.internalId())).path);
    if (folder.empty()) return {};
    const auto i = browser_.find(folder);
    return i ? indexOfFolder(*i) : QModelIndex();
}

int FileTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    const auto it = fetched_.find(folderOf(parent));
    return it == fetched_.end() ? 0 : it->second;
}

int FileTreeModel::columnCount(const QModelIndex&) const { return 3; }

bool FileTreeModel::hasChildren(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return false;
    return !childrenOf(folderOf(parent)).empty();
}

bool FileTreeModel::canFetchMore(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return false;
    return static_cast<std::size_t>(rowCount(parent)) < childrenOf(folderOf(parent)).size();
}

void FileTreeModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    const int have = rowCount(parent);
    const int all = static_cast<int>(childrenOf(folderOf(parent)).size());
    const int more = std::min(kBatch, all - have);
    beginInsertRows(parent, have, have + more - 1);
    fetched_[folderOf(parent)] = have + more;
    endInsertRows();
}

QVariant FileTreeModel::data(const QModelIndex& index, int role) const {
    const auto row = rowOf(index);
    return row ? rowCell(browser_, *row, index.column(), role, false) : QVariant();
}

bool FileTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const auto row = rowOf(index);
    if (!row || role != Qt::CheckStateRole || !tickRow(browser_, *row, value)) return false;
    refreshTicks();
    emit ticked();
    return true;
}

Qt::ItemFlags FileTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant FileTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return fileColumnHeader(section, "Name");
}

}  // namespace kelvaro::ntbackup
