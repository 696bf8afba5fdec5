#pragma once
#include "form/MainForm.h"
#include "ui/qt/ViewStyle.h"

class QWidget;

namespace kelvaro::qtui {

// Creates the main window's controls below the toolbar on `client`, whose corner
// is the corner of the window's client area, and binds each to its control of
// the form: the tab control and its four pages, the clock, the drive lists and
// the snooze marker.
void buildMainWindowControls(form::MainForm& form, QWidget* client, const Placer& placer);

}  // namespace kelvaro::qtui
