#include "ui/qt/AboutView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "ui/qt/Binding.h"
#include "ui/qt/DataFiles.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::qtui {
namespace {

QLabel* text(QWidget* parent, const char* name, const QString& text) {
    auto* w = new QLabel(text, parent);
    w->setObjectName(QLatin1String(name));
    w->setAccessibleName(text);
    w->setTextFormat(Qt::PlainText);
    return w;
}

QLabel* picture(QWidget* parent, const char* name, const QString& accessibleName, const QString& file, int size) {
    auto* w = new QLabel(parent);
    w->setObjectName(QLatin1String(name));
    w->setAccessibleName(accessibleName);
    const QString path = findDataFile(file);
    if (!path.isEmpty()) {
        const QIcon icon(path);
        w->setPixmap(icon.pixmap(size, size));
    }
    return w;
}

}  // namespace

AboutView::AboutView(form::AboutForm& form, QWidget* parent)
    : ModalWindow(form.window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint, parent), form_(form) {
    setBackground(this, panelGrey());
    setFocusPolicy(Qt::StrongFocus);
    const Placer p(twips());
    using Grow = Placer::Grow;

    p.place(picture(this, "imgProgram", QStringLiteral("Kelvaro Workstation"),
                    QStringLiteral("kelvaro-workstation.ico"), 64),
            240, 240, 960, 960, Grow::Never);
    p.place(picture(this, "imgIcon1", QStringLiteral("Kelvaro icon"), QStringLiteral("KELVARO1.ICO"), 32), 240,
            3360, 480, 480, Grow::Never);
    p.place(picture(this, "imgIcon2", QStringLiteral("Kelvaro icon, running"), QStringLiteral("KELVARO2.ICO"), 32),
            840, 3360, 480, 480, Grow::Never);

    QLabel* product = text(this, "lblProduct", QStringLiteral("Kelvaro for Windows NT"));
    product->setFont(sansFont(12, true));
    p.place(product, 1560, 360);

    auto* version = new QLabel(this);
    bindValueLabel(form_.lblVersion, version, QStringLiteral("Version"));
    p.place(version, 1560, 960, 2400, 255);

    QLabel* bits = text(this, "lbl32bit", QStringLiteral("32bit"));
    bits->setFont(sansFont(18, true, true));
    setForeground(bits, QColor(0, 0, 255));
    p.place(bits, 1560, 1440);

    p.place(text(this, "lblBuild", QStringLiteral("Build: 96-0127")), 1560, 2400);

    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

bool AboutView::eventFilter(QObject* watched, QEvent* event) {
    // Its pictures and texts close it as well as its background.
    if (event->type() == QEvent::MouseButtonPress) {
        form_.click();
        return true;
    }
    return ModalWindow::eventFilter(watched, event);
}

void AboutView::mousePressEvent(QMouseEvent*) { form_.click(); }

void AboutView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Escape:
        form_.click();
        return;
    default:
        ModalWindow::keyPressEvent(event);
    }
}

}  // namespace kelvaro::qtui
