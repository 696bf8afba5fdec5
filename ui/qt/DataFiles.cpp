#include "ui/qt/DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>

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

QIcon dataIcon(const QString& name, const QIcon& fallback) {
    const QString file = findDataFile(name);
    if (file.isEmpty()) return fallback;
    const QPixmap pixmap(file);
    return pixmap.isNull() ? fallback : QIcon(pixmap);
}

}  // namespace kelvaro::qtui
