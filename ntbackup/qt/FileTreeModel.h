#pragma once
#include <QAbstractItemModel>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "ntbackup/RestoreBrowser.h"

namespace kelvaro::ntbackup {

// A row's cells and check box as the file tree and the search results show them.
QVariant rowCell(const RestoreBrowser& browser, std::size_t row, int column, int role, bool fullPath);
// The user's tick on a row; false when `value` is no check state.
bool tickRow(RestoreBrowser& browser, std::size_t row, const QVariant& value);
QVariant fileColumnHeader(int section, const char* first);

// The chosen drive as it stood at the set, for a QTreeView: rows are read from
// the browser as a folder is opened, a thousand at a time, so that a folder of
// a million files costs no more than what is in view.
class FileTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FileTreeModel(RestoreBrowser& browser, QObject* parent = nullptr);

    // The browser chose another drive or set.
    void reload();
    // Some tick changed: every check box in view is read again.
    void refreshTicks();
    // The browser's row under `index`, if any.
    std::optional<std::size_t> rowOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The user ticked or unticked a row here.
    void ticked();

private:
    static constexpr std::size_t kDrive = SIZE_MAX;  // the folder key of the drive itself
    std::size_t folderOf(const QModelIndex& parent) const;
    const std::vector<std::size_t>& childrenOf(std::size_t folder) const;
    QModelIndex indexOfFolder(std::size_t folder) const;

    RestoreBrowser& browser_;
    std::vector<std::uint32_t> place_;                 // each row's place among its folder's rows
    std::unordered_map<std::size_t, int> fetched_;     // folder -> rows handed to the view so far
};

}  // namespace kelvaro::ntbackup
