#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStyle>

namespace kelvaro::qtui {

// A file the program ships (images, icons), looked up in the current directory
// and then in $KELVARO_DATA_DIR. Empty when neither holds it.
QString findDataFile(const QString& name);

// An image file read in the format its suffix names (".png", ".ico"). Reading
// an image without naming the format makes Qt load and ask every image plugin
// on the system first (GIF, JPEG with libjpeg …): milliseconds of start-up and
// memory that stays, for formats the program never reads. Null when the file
// is not what its suffix says.
QPixmap readImage(const QString& file);

// The shipped image as an icon, or the widget's standard icon `fallback` when
// the file is missing or unreadable. Only then is the standard icon looked up:
// the lookup searches the desktop's icon themes on disk.
QIcon dataIcon(const QString& name, const QWidget* widget, QStyle::StandardPixmap fallback);

}  // namespace kelvaro::qtui
