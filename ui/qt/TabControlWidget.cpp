#include "ui/qt/TabControlWidget.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include "ui/qt/Binding.h"

namespace kelvaro::qtui {

TabControlWidget::TabControlWidget(form::TabControl& model, QWidget* parent)
    : QWidget(parent), model_(model), bar_(new QTabBar(this)) {
    bindControl(model_, this);
    bar_->setObjectName(objectName() + QStringLiteral("_Tabs"));
    bar_->setProperty(kControlProperty, objectName());
    bar_->setExpanding(true);
    bar_->setDrawBase(false);
    bar_->setAccessibleName(QStringLiteral("Settings pages"));
    setAccessibleName(QStringLiteral("Settings pages"));

    int index = 0;
    for (const auto& caption : model_.captions()) {
        bar_->addTab(QString::fromStdString(caption));
        auto* page = new QWidget(this);
        page->setObjectName(objectName() + QStringLiteral("_Page%1").arg(index++));
        page->setProperty(kControlProperty, objectName());
        page->setAccessibleName(QString::fromStdString(caption));
        page->lower();
        pages_.push_back(page);
    }
    bar_->raise();

    QPointer<TabControlWidget> self(this);
    model_.addObserver([self](form::Change change) {
        if (self && change == form::Change::State) self->sync();
    });
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        model_.setCurrentPage(index);
        sync();
    });
    sync();
}

void TabControlWidget::sync() {
    const int current = model_.currentPage();
    {
        const QSignalBlocker blocker(bar_);
        if (bar_->currentIndex() != current) bar_->setCurrentIndex(current);
    }
    // Hide before show, so the focus never lands on a page about to go.
    for (int i = 0; i < count(); ++i)
        if (i != current) pages_[i]->hide();
    // Hiding may have taken the focus from a box whose entry was refused; the
    // model then went back to that box's page, and that page is shown already.
    if (model_.currentPage() != current) return;
    if (current >= 0 && current < count()) pages_[current]->show();
}

void TabControlWidget::showPageOf(const QWidget* widget) {
    for (int i = 0; i < count(); ++i)
        if (pages_[i]->isAncestorOf(widget)) model_.setCurrentPage(i);
}

void TabControlWidget::layoutChildren() {
    bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
    for (QWidget* page : pages_) page->setGeometry(rect());
}

void TabControlWidget::resizeEvent(QResizeEvent*) { layoutChildren(); }

void TabControlWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    const int top = bar_->height() - overlap;
    frame.rect = QRect(0, top, width(), height() - top);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = bar_->size();
    frame.tabBarRect = bar_->geometry();
    frame.selectedTabRect = bar_->tabRect(bar_->currentIndex());
    frame.leftCornerWidgetSize = QSize(0, 0);
    frame.rightCornerWidgetSize = QSize(0, 0);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

void TabControlWidget::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab and Ctrl+PgDn go to the next page, as in other tabbed dialogs.
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    int step = 0;
    if (ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_PageDown)) step = 1;
    if (ctrl && (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_PageUp)) step = -1;
    if (step == 0 || count() == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    model_.setCurrentPage((model_.currentPage() + step + count()) % count());
    bar_->setFocus(Qt::TabFocusReason);
}

}  // namespace kelvaro::qtui
