#include "ui/qt/SplashView.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <qdrawutil.h>

#include "ui/qt/Binding.h"
#include "ui/qt/DataFiles.h"
#include "ui/qt/TextPictures.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::qtui {
namespace {

// A label named for the program's own lookups, heard by `heard`.
QLabel* namedLabel(QWidget* parent, const char* name, const QString& heard) {
    auto* w = new QLabel(parent);
    w->setObjectName(QLatin1String(name));
    w->setProperty(kControlProperty, w->objectName());
    w->setAccessibleName(heard);
    return w;
}

QLabel* text(QWidget* parent, const char* name, const QString& text, const QFont& font) {
    QLabel* w = namedLabel(parent, name, text);
    w->setTextFormat(Qt::PlainText);
    w->setText(text);
    w->setFont(font);
    return w;
}

// A product text as its picture; it is heard by its text.
QLabel* caption(QWidget* parent, const char* name, const QString& text, const QImage& picture) {
    QLabel* w = namedLabel(parent, name, text);
    w->setPixmap(QPixmap::fromImage(picture));
    return w;
}

const QString kProduct = QStringLiteral("Kelvaro");
const QString kPlatform = QStringLiteral("for Windows NT");
const QString kEdition = QStringLiteral("Workstation Edition");

}  // namespace

std::unique_ptr<TextPictures> SplashView::drawCaptions() {
    const QFont title = sansFont(24, true, true);
    const QColor text = QApplication::palette("QLabel").color(QPalette::WindowText);
    return std::make_unique<TextPictures>(
        std::vector<TextPictures::Text>{{kProduct, title, text, panelGrey()},
                                        {kPlatform, title, text, panelGrey()},
                                        {kEdition, sansFont(13.5, false, true), QColor(0, 0, 255), panelGrey()}},
        qApp->devicePixelRatio());
}

SplashView::SplashView(form::SplashForm& form, std::function<void()> pump, std::unique_ptr<TextPictures> captions,
                       QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      form_(form),
      pump_(std::move(pump)),
      twips_(Twips::forScreen()) {
    setObjectName(QString::fromStdString(form_.window.name()));
    setFont(windowFont());
    // It has no title to be named by: its product name names it.
    setAccessibleName(QStringLiteral("Kelvaro for Windows NT"));
    setFixedSize(twips_.px(form_.window.width()), twips_.px(form_.window.height()));
    setBackground(this, panelGrey());
    const Placer p(twips_);

    if (!captions) captions = drawCaptions();
    const std::vector<QImage>& pictures = captions->pictures();
    p.place(caption(this, "lblProduct", kProduct, pictures[0]), 720, 600);
    QLabel* tm = text(this, "lblTrademark", QStringLiteral("TM"), sansFont(8.25, true));
    p.place(caption(this, "lblPlatform", kPlatform, pictures[1]), 720, 1320);
    p.place(caption(this, "lblEdition", kEdition, pictures[2]), 1200, 2160);
    // "TM" stands at the upper right of the product name.
    const QWidget* product = findChild<QWidget*>(QStringLiteral("lblProduct"));
    tm->adjustSize();
    tm->move(product->geometry().right() + 2, product->geometry().top() + 2);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgProgram"));
    picture->setAccessibleName(QStringLiteral("Kelvaro Workstation"));
    const QString iconFile = findDataFile(QStringLiteral("kelvaro-workstation.ico"));
    if (!iconFile.isEmpty()) picture->setPixmap(readImage(iconFile).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    p.place(picture, 5640, 600, 960, 960, Placer::Grow::Never);

    auto* status = new QLabel(this);
    bindValueLabel(form_.Label4, status, QStringLiteral("Status"));
    p.place(status, 360, 3960, 6855, 255, Placer::Grow::Never);

    QPointer<SplashView> self(this);
    form_.window.addObserver([self](form::Change change) {
        if (!self) return;
        if (change == form::Change::State) self->sync();
        if (change == form::Change::Redraw && self->isVisible()) {
            self->repaint();
            if (self->pump_) self->pump_();
        }
    });
    form_.Label4.addObserver([self](form::Change change) {
        if (self && change == form::Change::Redraw && self->isVisible() && self->pump_) self->pump_();
    });
    sync();
}

void SplashView::sync() {
    const QPoint position(twips_.px(form_.window.left()), twips_.px(form_.window.top()));
    if (pos() != position) move(position);
    setStaysOnTop(this, form_.window.topmost());
    if (shown_ && !form_.window.isOpen()) {
        shown_ = false;
        hide();
        // Its window and the image behind it (shared with the X server, as large
        // as the splash) would otherwise stay with the resident program for good.
        destroy();
        emit closed();
    }
}

void SplashView::showFromModel() {
    if (!form_.window.isOpen()) return;
    shown_ = true;
    sync();
    show();
    raise();
    if (pump_) pump_();
}

void SplashView::paintEvent(QPaintEvent*) {
    // The panel that fills the window, raised.
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
    qDrawShadePanel(&painter, rect().adjusted(8, 8, -8, -8), palette(), true, 1);
}

}  // namespace kelvaro::qtui
