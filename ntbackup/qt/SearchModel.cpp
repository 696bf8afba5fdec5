#include "ntbackup/qt/SearchModel.h"

#include "ntbackup/qt/FileTreeModel.h"

namespace kelvaro::ntbackup {

namespace {
// More than anyone reads; a narrower text finds the rest.
constexpr std::size_t kShown = 1000;
}  // namespace

SearchModel::SearchModel(RestoreBrowser& browser, QObject* parent) : QAbstractTableModel(parent), browser_(browser) {}

void SearchModel::search(const QString& text) {
    beginResetModel();
    rows_ = browser_.search(text.toStdString(), kShown);
    endResetModel();
}

void SearchModel::refreshTicks() {
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

std::optional<std::size_t> SearchModel::rowOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.row() >= rowCount()) return std::nullopt;
    return rows_[static_cast<std::size_t>(index.row())];
}

int SearchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SearchModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant SearchModel::data(const QModelIndex& index, int role) const {
    const auto row = rowOf(index);
    return row ? rowCell(browser_, *row, index.column(), role, true) : QVariant();
}

bool SearchModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const auto row = rowOf(index);
    if (!row || role != Qt::CheckStateRole || !tickRow(browser_, *row, value)) return false;
    refreshTicks();
    emit ticked();
    return true;
}

Qt::ItemFlags SearchModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant SearchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return fileColumnHeader(section, "Path");
}

}  // namespace kelvaro::ntbackup
