#pragma once
#include <QIcon>
#include <QString>

namespace kelvaro::qtui {

// A file the program ships (images, icons), looked up in the current directory
// and then in $KELVARO_DATA_DIR. Empty when neither holds it.
QString findDataFile(const QString& name);

// The shipped image as an icon, or `fallback` when the file is missing or unreadable.
QIcon dataIcon(const QString& name, const QIcon& fallback);

}  // namespace kelvaro::qtui
