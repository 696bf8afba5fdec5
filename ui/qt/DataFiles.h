#pragma once
#include <QIcon>
#include <QString>
#include <QStyle>

namespace kelvaro::qtui {

// A file the program ships (images, icons), looked up in the current directory
// and then in $KELVARO_DATA_DIR. Empty when neither holds it.
QString findDataFile(const QString& name);

// The shipped image as an icon, or the widget's standard icon `fallback` when
// the file is missing or unreadable. Only then is the standard icon looked up:
// the lookup searches the desktop's icon themes on disk.
QIcon dataIcon(const QString& name, const QWidget* widget, QStyle::StandardPixmap fallback);

}  // namespace kelvaro::qtui
