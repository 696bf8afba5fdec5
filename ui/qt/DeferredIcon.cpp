#include "ui/qt/DeferredIcon.h"

#include <QIconEngine>
#include <QPainter>

#include "ui/qt/DataFiles.h"

namespace kelvaro::qtui {

namespace {

class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(QStringList files) : files_(std::move(files)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // Not null before it is read: asking must not read the files.
    bool isNull() override { return files_.isEmpty(); }
    QString key() const override { return QStringLiteral("kelvaro-deferred"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!read_) {
            for (const QString& file : files_) loaded_.addPixmap(readImage(file));
            read_ = true;
        }
        return loaded_;
    }

    QStringList files_;
    QIcon loaded_;
    bool read_ = false;
};

}  // namespace

QIcon deferredIcon(const QStringList& files) { return QIcon(new DeferredIconEngine(files)); }

}  // namespace kelvaro::qtui
