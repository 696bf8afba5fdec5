#pragma once
#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <functional>
#include <string>

#include "form/MainForm.h"
#include "ui/qt/Twips.h"

class QLabel;
class QStatusBar;
class QTimer;
class QToolBar;

namespace kelvaro::ui {
class MainWindowModel;
}

namespace kelvaro::qtui {

// Maps the model's Windows file names ("C:\x\KELVARO2.ICO") to files here.
using PathMapper = std::function<std::string(const std::string&)>;

// The main window on the desktop: every control of the form at its place, the
// menus, the toolbar and the status bar. It mirrors the form and forwards the
// user's actions; the behaviour is the model's.
class MainWindowView : public QMainWindow {
    Q_OBJECT
public:
    // The form must outlive the view. `mapPath` turns the icon paths of the
    // model into local files (identity when empty).
    explicit MainWindowView(form::MainForm& form, PathMapper mapPath = {}, QWidget* parent = nullptr);
    ~MainWindowView() override;

    // Where mouse hints, toolbar clicks and close requests go (may be null).
    void setModel(ui::MainWindowModel* model) { model_ = model; }
    // The clock behind the date and time panels (the system's by default).
    void setClock(std::function<QDateTime()> now);

    // Shows the window in the form's state, at the form's position.
    void showFromModel();

    // The client area: toolbar, controls and status bar, placed in twips from its corner.
    QWidget* client() const { return client_; }
    const Twips& twips() const { return twips_; }
    // Refreshes the date and time panels now (the view does it with each new
    // clock text, and on its own when no clock tick comes).
    void updateDateTimePanels();

signals:
    // The window was allowed to close (the user confirmed, or the program closed it).
    void closedForGood();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void layoutBars();
    void syncWindow();
    void applyState();
    QIcon iconFor(const std::string& path);
    void watchMouse(QWidget* root);
    void reportMouse(QWidget* widget, const QPoint& globalPos);
    bool closeAllowedFromOutside();

    form::MainForm& form_;
    PathMapper mapPath_;
    Twips twips_;
    ui::MainWindowModel* model_ = nullptr;
    QWidget* client_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* panels_[5] = {};
    QTimer* clockTimer_ = nullptr;
    std::function<QDateTime()> now_;
    QHash<QString, QIcon> icons_;
    std::string shownIconPath_;
    bool wasOpen_ = false;
    bool closingFromProgram_ = false;
    bool closeApproved_ = false;
    bool applyingState_ = false;
    QPoint appliedPosition_{-1, -1};
    bool appliedTopmost_ = false;
};

}  // namespace kelvaro::qtui
