#pragma once
#include <QWidget>
#include <vector>

#include "form/MainForm.h"

class QTabBar;

namespace kelvaro::qtui {

// A tab control in the manner of the original's: its pages cover the whole
// control, tab strip included, so the controls on a page are placed relative to
// the control's own corner; the tab strip lies over the top of the pages. The
// page shown follows the model; a click on a tab asks the model to change it.
class TabControlWidget : public QWidget {
    Q_OBJECT
public:
    TabControlWidget(form::TabControl& model, QWidget* parent = nullptr);

    QTabBar* tabBar() const { return bar_; }
    int count() const { return static_cast<int>(pages_.size()); }
    QWidget* page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    // Shows the page holding `widget` (through the model), if it is on one.
    void showPageOf(const QWidget* widget);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void sync();
    void layoutChildren();

    form::TabControl& model_;
    QTabBar* bar_;
    std::vector<QWidget*> pages_;
};

}  // namespace kelvaro::qtui
