#include "platform/linux/QtIconLoader.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace kelvaro::linuxp {

QtIconLoader::QtIconLoader(PathConverter toLocalPath) : toLocalPath_(std::move(toLocalPath)) {}

bool QtIconLoader::load(const std::string& windowsPath) {
    const std::string local = toLocalPath_ ? toLocalPath_(windowsPath) : windowsPath;
    const QString file = QString::fromStdString(local);

    const QFileInfo info(file);
    if (!info.isFile()) {
        icons_.erase(windowsPath);
        return false;
    }
    const long long size = info.size();
    const long long modified = info.lastModified().toMSecsSinceEpoch();
    const auto cached = icons_.find(windowsPath);
    if (cached != icons_.end() && cached->second.localPath == local && cached->second.size == size &&
        cached->second.modified == modified)
        return true;

    // Every image in the file (an .ico holds several sizes), so the icon can pick.
    QImageReader reader(file);
    QIcon icon;
    do {
        const QImage image = reader.read();
        if (image.isNull()) break;
        icon.addPixmap(QPixmap::fromImage(image));
    } while (reader.jumpToNextImage());

    if (icon.isNull()) {
        icons_.erase(windowsPath);
        return false;
    }
    icons_[windowsPath] = Loaded{local, size, modified, icon};
    return true;
}

QIcon QtIconLoader::iconFor(const std::string& windowsPath) const {
    const auto it = icons_.find(windowsPath);
    return it == icons_.end() ? QIcon() : it->second.icon;
}

}  // namespace kelvaro::linuxp
