#include "platform/linux/QtIconLoader.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <sys/stat.h>

#include <optional>

namespace kelvaro::linuxp {

QtIconLoader::QtIconLoader(PathConverter toLocalPath) : toLocalPath_(std::move(toLocalPath)) {}

namespace {

struct FileId {
    unsigned long long device = 0, inode = 0;
    long long size = -1, modifiedNs = 0;
};

// The regular file at `path`, if there is one.
std::optional<FileId> identify(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileId{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
}

}  // namespace

bool QtIconLoader::sameFile(const Loaded& loaded) {
    const auto now = identify(loaded.localPath);
    return now && now->device == loaded.device && now->inode == loaded.inode && now->size == loaded.size &&
           now->modifiedNs == loaded.modifiedNs;
}

bool QtIconLoader::load(const std::string& windowsPath) {
    const auto cached = icons_.find(windowsPath);
    if (cached != icons_.end() && sameFile(cached->second)) return true;

    const std::string local = toLocalPath_ ? toLocalPath_(windowsPath) : windowsPath;
    const std::optional<FileId> id = identify(local);
    if (!id) {
        icons_.erase(windowsPath);
        return false;
    }

    // Every image in the file (an .ico holds several sizes), so the icon can pick.
    QImageReader reader(QString::fromStdString(local));
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
    icons_[windowsPath] = Loaded{local, id->device, id->inode, id->size, id->modifiedNs, icon};
    return true;
}

QIcon QtIconLoader::iconFor(const std::string& windowsPath) const {
    const auto it = icons_.find(windowsPath);
    return it == icons_.end() ? QIcon() : it->second.icon;
}

}  // namespace kelvaro::linuxp
