#pragma once
#include <QIcon>
#include <QStringList>

namespace kelvaro::qtui {

// An icon whose image files are read only when it is first drawn or measured.
// The menu bar's and toolbars' extension arrows show only when a bar is too
// narrow for its items; read at start-up, they would bring the PNG decoder
// into the resident program for images that are seldom or never seen.
QIcon deferredIcon(const QStringList& files);

}  // namespace kelvaro::qtui
