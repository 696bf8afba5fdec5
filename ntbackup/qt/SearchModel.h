#pragma once
#include <QAbstractTableModel>
#include <vector>

#include "ntbackup/RestoreBrowser.h"

namespace kelvaro::ntbackup {

// The rows whose names hold the searched text, each with its path and a check
// box that ticks the same row of the tree.
class SearchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SearchModel(RestoreBrowser& browser, QObject* parent = nullptr);

    void search(const QString& text);  // "" empties the list
    void refreshTicks();
    std::optional<std::size_t> rowOf(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void ticked();

private:
    RestoreBrowser& browser_;
    std::vector<std::size_t> rows_;
};

}  // namespace kelvaro::ntbackup
