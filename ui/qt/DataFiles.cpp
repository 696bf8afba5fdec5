#include "ui/qt/DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QWidget>

namespace kelvaro::qtui {

QString findDataFile(const QString& name) {
    const QFileInfo here(QDir::current(), name);
    if (here.isFile()) return here.absoluteFilePath();
    const QString dataDir = qEnvironmentVariable("KELVARO_DATA_DIR");
    if (!dataDir.isEmpty()) {
        const QFileInfo there(QDir(dataDir), name);
        if (there.isFile()) return there.absoluteFilePath();
    }
    return {};
}

QPixmap readImage(const QString& file) {
    QImageReader reader(file, QFileInfo(file).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon dataIcon(const QString& name, const QWidget* widget, QStyle::StandardPixmap fallback) {
    const QString file = findDataFile(name);
    const QPixmap pixmap = file.isEmpty() ? QPixmap() : readImage(file);
    if (!pixmap.isNull()) return QIcon(pixmap);
    return widget->style()->standardIcon(fallback, nullptr, widget);
}

}  // namespace kelvaro::qtui
