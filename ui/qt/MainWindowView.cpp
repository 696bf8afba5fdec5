#include "ui/qt/MainWindowView.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QSessionManager>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "ui/MainWindowModel.h"
#include "ui/qt/Binding.h"
#include "ui/qt/DataFiles.h"
#include "ui/qt/MainWindowControls.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::qtui {
namespace {

constexpr int kClientWidth = 9015;
constexpr int kClientHeight = 5565;
constexpr int kToolbarHeight = 405;
constexpr int kStatusBarTop = 5265;
constexpr int kStatusBarHeight = 300;

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The client area: the toolbar and status bar follow its edges, the controls
// keep their places.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, std::function<void()> onResize) : QWidget(parent), onResize_(std::move(onResize)) {}

protected:
    void resizeEvent(QResizeEvent*) override { onResize_(); }

private:
    std::function<void()> onResize_;
};

}  // namespace

MainWindowView::MainWindowView(form::MainForm& form, PathMapper mapPath, QWidget* parent)
    : QMainWindow(parent,
                  // No system menu, no minimise, maximise or close button: the
                  // File menu offers Close and Minimize instead.
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      form_(form),
      mapPath_(std::move(mapPath)),
      twips_(Twips::forScreen()),
      now_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(qs(form_.window.name()));
    setProperty(kControlProperty, objectName());
    setFont(windowFont());

    client_ = new ClientArea(this, [this] { layoutBars(); });
    client_->setObjectName(objectName() + QStringLiteral("_Client"));
    client_->setProperty(kControlProperty, objectName());
    setCentralWidget(client_);

    buildMenus();
    buildToolbar();
    const Placer placer(twips_);
    buildMainWindowControls(form_, client_, placer);
    buildStatusBar();

    // The client area has the form's size; the menu bar comes on top of it.
    resize(twips_.px(kClientWidth), menuBar()->sizeHint().height() + twips_.px(kClientHeight));
    layoutBars();
    watchMouse(this);

    QPointer<MainWindowView> self(this);
    form_.window.addObserver([self](form::Change change) {
        if (!self) return;
        if (change == form::Change::State) self->syncWindow();
        if (change == form::Change::Redraw && self->isVisible()) self->repaint();
        if (change == form::Change::Focus) self->activateWindow();
    });
    form_.StatusBar1.addObserver([self](form::Change change) {
        if (!self || change != form::Change::State) return;
        for (int panel : {1, 2, 3}) {
            showText(self->panels_[panel - 1], qs(self->form_.StatusBar1.panelText(panel)));
        }
    });
    syncWindow();

    // The date and time panels change with the clock label, before its
    // immediate redraw, so one redraw and one wake-up a second carry both. Their
    // own timer, put back by every new clock text, keeps them going when no
    // clock tick comes (longer than a second, so it never races the clock).
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(1100);
    connect(clockTimer_, &QTimer::timeout, this, &MainWindowView::updateDateTimePanels);
    form_.lblTimeNow.addObserver([self](form::Change change) {
        if (self && change == form::Change::State) self->updateDateTimePanels();
    });
    updateDateTimePanels();

    // A session that ends asks like a close from outside; No keeps it running.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [self](QSessionManager& manager) {
        if (!self || !manager.allowsInteraction()) return;
        const bool allowed = self->closeAllowedFromOutside();
        manager.release();
        if (allowed)
            self->closeApproved_ = true;
        else
            manager.cancel();
    });
}

MainWindowView::~MainWindowView() = default;

void MainWindowView::setClock(std::function<QDateTime()> now) {
    now_ = std::move(now);
    updateDateTimePanels();
}

void MainWindowView::buildMenus() {
    struct Menu {
        form::Button* menu;
        std::vector<form::Button*> entries;
    };
    auto& f = form_;
    const Menu menus[] = {
        {&f.mnufile, {&f.mnurefresh, &f.mnustartbackupnow, &f.mnuclose, &f.mnumin}},
        {&f.mnuutil, {&f.mnusound, &f.mnucleardrive, &f.mnublank1, &f.mnuview, &f.mnudeletelog}},
        {&f.mnuhelp, {&f.mnuhelp1, &f.mnublankof, &f.mnuabout}},
    };
    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    for (const Menu& m : menus) {
        QMenu* menu = menuBar()->addMenu(qs(m.menu->caption()));
        menu->setObjectName(qs(m.menu->name()));
        menu->setAccessibleName(withoutMnemonic(m.menu->caption()));
        bindAction(*m.menu, menu->menuAction());
        for (form::Button* entry : m.entries) {
            if (entry->caption() == "-") {
                menu->addSeparator()->setObjectName(qs(entry->name()));
                continue;
            }
            QAction* action = menu->addAction(qs(entry->caption()));
            if (entry == &f.mnusound) action->setCheckable(true);
            if (entry == &f.mnurefresh) action->setShortcut(QKeySequence(Qt::Key_F5));
            if (entry == &f.mnustartbackupnow) action->setShortcut(QKeySequence(Qt::Key_F12));
            bindAction(*entry, action);
        }
    }
}

void MainWindowView::buildToolbar() {
    toolbar_ = new QToolBar(client_);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setProperty(kControlProperty, toolbar_->objectName());
    toolbar_->setAccessibleName(QStringLiteral("Toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);

    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    int index = 0;
    for (const form::ToolbarButton& button : form_.toolbar) {
        ++index;
        if (button.style == form::ToolbarButton::Style::Separator) {
            toolbar_->addSeparator()->setObjectName(QStringLiteral("Toolbar1_Separator%1").arg(index));
            continue;
        }
        QIcon icon(blank);  // a blank button keeps the size of the others
        if (button.key == "butopen")
            icon = dataIcon(QStringLiteral("toolbar-open.ico"), this, QStyle::SP_DialogOpenButton);
        else if (button.key == "butdelete")
            icon = dataIcon(QStringLiteral("toolbar-delete.ico"), this, QStyle::SP_TrashIcon);
        else if (button.key == "buthelp")
            icon = dataIcon(QStringLiteral("toolbar-help.ico"), this, QStyle::SP_DialogHelpButton);
        QAction* action = toolbar_->addAction(icon, qs(button.tooltip));
        action->setObjectName(button.key.empty() ? QStringLiteral("Toolbar1_Button%1").arg(index) : qs(button.key));
        action->setToolTip(qs(button.tooltip));
        const std::string key = button.key;
        connect(action, &QAction::triggered, this, [this, key] {
            if (model_) model_->toolbarClick(key);
        });
        if (QWidget* w = toolbar_->widgetForAction(action)) {
            w->setObjectName(action->objectName());
            w->setProperty(kControlProperty, toolbar_->objectName());
            w->setAccessibleName(button.tooltip.empty() ? QStringLiteral("Blank button %1").arg(index)
                                                        : qs(button.tooltip));
        }
    }
}

void MainWindowView::buildStatusBar() {
    statusBar_ = new QStatusBar(client_);
    statusBar_->setObjectName(qs(form_.StatusBar1.name()));
    statusBar_->setProperty(kControlProperty, statusBar_->objectName());
    statusBar_->setAccessibleName(QStringLiteral("Status"));
    statusBar_->setSizeGripEnabled(false);
    static const char* const kNames[] = {"StatusBar1_Panel1", "lblevent", "StatusBar1_Panel3", "StatusBar1_Date",
                                         "StatusBar1_Time"};
    // Each panel is heard by its text; what it is goes into its description.
    static const char* const kDescriptions[] = {"Status", "Hint", "Status", "Date", "Time"};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(statusBar_);
        panel->setObjectName(QLatin1String(kNames[i]));
        panel->setProperty(kControlProperty, statusBar_->objectName());
        panel->setAccessibleDescription(QLatin1String(kDescriptions[i]));
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i] = panel;
    }
    panels_[0]->setFixedWidth(std::max(1, twips_.px(2)));
    panels_[2]->setFixedWidth(twips_.px(300));
    // The date and time panels keep the width of their longest text; the hint
    // panel takes the rest, so the date and time stay inside the window.
    const QFontMetrics metrics(panels_[3]->font());
    const int margin = 2 * panels_[3]->frameWidth() + 12;
    panels_[3]->setMinimumWidth(metrics.horizontalAdvance(QLocale().toString(QDate(2000, 12, 28), QLocale::ShortFormat)) +
                                margin);
    panels_[4]->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("00:00:00")) + margin);
    panels_[3]->setAlignment(Qt::AlignCenter);
    panels_[4]->setAlignment(Qt::AlignCenter);
    panels_[1]->setMinimumWidth(1);
    statusBar_->addWidget(panels_[0]);
    statusBar_->addWidget(panels_[1], 1);
    statusBar_->addWidget(panels_[2]);
    statusBar_->addWidget(panels_[3]);
    statusBar_->addWidget(panels_[4]);
    for (int panel : {1, 2, 3}) showText(panels_[panel - 1], qs(form_.StatusBar1.panelText(panel)));
}

void MainWindowView::layoutBars() {
    const int w = client_->width();
    toolbar_->setGeometry(0, 0, w, twips_.px(kToolbarHeight));
    // The status bar stays on the bottom edge, as tall as the form has it.
    const int h = twips_.px(kStatusBarHeight);
    statusBar_->setGeometry(0, std::max(client_->height() - h, twips_.px(kStatusBarTop)), w, h);
}

void MainWindowView::updateDateTimePanels() {
    clockTimer_->start();
    const QDateTime now = now_();
    const QString date = QLocale().toString(now.date(), QLocale::ShortFormat);
    const QString time = now.time().toString(QStringLiteral("HH:mm:ss"));
    // A label with a new text asks for a new layout, and the status bar answers
    // by repainting every panel, once a second. Laid out once, the date and time
    // panels keep their size, so a new text repaints that panel alone.
    for (QLabel* panel : {panels_[3], panels_[4]})
        if (panel->isVisible() && panel->minimumSize() != panel->maximumSize()) panel->setFixedSize(panel->size());
    showText(panels_[3], date);
    showText(panels_[4], time);
}

QIcon MainWindowView::iconFor(const std::string& path) {
    const QString key = qs(path);
    auto it = icons_.find(key);
    if (it != icons_.end()) return *it;
    const std::string local = mapPath_ ? mapPath_(path) : path;
    QIcon icon(qs(local));
    // The title animation swaps two files once a second; each is read once.
    if (!icon.availableSizes().isEmpty()) icons_.insert(key, icon);
    return icon;
}

void MainWindowView::syncWindow() {
    const auto& w = form_.window;
    const QString caption = qs(w.caption());
    if (windowTitle() != caption) setWindowTitle(caption);
    // Named by its title, so the title animation is heard too.
    if (accessibleName() != caption) setAccessibleName(caption);
    if (w.iconPath() != shownIconPath_) {
        shownIconPath_ = w.iconPath();
        if (!shownIconPath_.empty()) setWindowIcon(iconFor(shownIconPath_));
    }
    // Moved only when the model moves it, so a window the user dragged stays.
    const QPoint position(twips_.px(w.left()), twips_.px(w.top()));
    if (position != appliedPosition_) {
        appliedPosition_ = position;
        if (w.isOpen() || wasOpen_) move(position);
    }
    if (w.topmost() != appliedTopmost_) {
        appliedTopmost_ = w.topmost();
        setStaysOnTop(this, appliedTopmost_);
    }
    if (w.isOpen() && !wasOpen_) {
        showFromModel();
    } else if (!w.isOpen() && wasOpen_) {
        // The program closes its own window: no question.
        wasOpen_ = false;
        closingFromProgram_ = true;
        close();
        closingFromProgram_ = false;
        return;
    }
    if (wasOpen_) applyState();
}

void MainWindowView::showFromModel() {
    wasOpen_ = true;
    move(twips_.px(form_.window.left()), twips_.px(form_.window.top()));
    appliedPosition_ = pos();
    applyState();
    if (!isVisible()) show();
}

void MainWindowView::applyState() {
    const bool minimize = form_.window.state() == form::WindowState::Minimized;
    if (isVisible() && isMinimized() == minimize) return;
    applyingState_ = true;
    if (minimize)
        showMinimized();
    else
        showNormal();
    applyingState_ = false;
}

void MainWindowView::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The user may restore or minimise through the desktop; the model must know,
    // or its next state change would be taken for no change at all.
    if (event->type() == QEvent::WindowStateChange && !applyingState_ && wasOpen_)
        form_.window.setState(isMinimized() ? form::WindowState::Minimized : form::WindowState::Normal);
}

bool MainWindowView::closeAllowedFromOutside() { return !model_ || model_->closeRequested(); }

void MainWindowView::closeEvent(QCloseEvent* event) {
    if (!closingFromProgram_ && !closeApproved_ && !closeAllowedFromOutside()) {
        event->ignore();
        return;
    }
    event->accept();
    // Once allowed, the quitting that follows must not ask again.
    closeApproved_ = true;
    emit closedForGood();
}

void MainWindowView::watchMouse(QWidget* root) {
    root->setMouseTracking(true);
    root->installEventFilter(this);
    for (QWidget* w : root->findChildren<QWidget*>()) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void MainWindowView::reportMouse(QWidget* widget, const QPoint& globalPos) {
    if (!model_) return;
    // Only the widget right under the pointer reports, not the parents a move
    // passes through on its way up.
    if (QApplication::widgetAt(globalPos) != widget) return;
    // A disabled control gives its moves to its container, as the original's did.
    QWidget* w = widget;
    while (w && !w->isEnabled()) w = w->parentWidget();
    for (; w; w = w->parentWidget()) {
        // The menus, toolbar and status bar have no hint and are not the bare
        // window surface: moving over them leaves the hint as it is.
        if (qobject_cast<QMenuBar*>(w) || qobject_cast<QMenu*>(w) || qobject_cast<QToolBar*>(w) ||
            qobject_cast<QStatusBar*>(w))
            return;
        const QVariant name = w->property(kControlProperty);
        if (name.isValid()) {
            model_->mouseOver(name.toString().toStdString());
            return;
        }
        if (w == this) return;
    }
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        reportMouse(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    } else if (event->type() == QEvent::Enter) {
        reportMouse(static_cast<QWidget*>(watched), static_cast<QEnterEvent*>(event)->globalPosition().toPoint());
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kelvaro::qtui
