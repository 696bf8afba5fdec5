#pragma once
#include <QString>

#include "form/Controls.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QWidget;

namespace kelvaro::qtui {

// Binders keep a widget equal to its control and forward the user's actions to
// the control exactly once. A model change reaches the widget with the widget's
// signals blocked, so it never comes back as a second event; after forwarding a
// user action the widget is set to what the model then holds (the model may
// refuse or correct it).
//
// Every change of a widget's state reaches the model, however it came (mouse,
// keyboard, an accessible action, a style's own handling): the binders listen
// to the state signals (toggled, textChanged, currentIndexChanged), not to the
// click signals, which only the mouse and keyboard give.
//
// Each binder names the widget after its control (objectName) and marks it with
// the property "kelvaroControl", which the views use for the mouse hints. The
// control must outlive the widget.

inline constexpr const char* kControlProperty = "kelvaroControl";

// Enabled, visible, focus requests and redraws; used by all binders below.
void bindControl(form::Control& control, QWidget* widget);
// A label's text is its accessible name, kept current: a fixed caption names
// itself, and a label that shows a value (the clock, a settings line) is heard
// by its value.
void bindLabel(form::Label& label, QLabel* widget);
// A value label also says what it is, in its accessible description.
void bindValueLabel(form::Label& label, QLabel* widget, const QString& description);
// Text and accessible name of a label the view fills itself (status panels).
void showText(QLabel* widget, const QString& text);
void bindButton(form::Button& button, QAbstractButton* widget);
void bindAction(form::Button& entry, QAction* action);
void bindCheckBox(form::CheckBox& box, QCheckBox* widget);
void bindOption(form::OptionButton& option, QRadioButton* widget);
void bindTextBox(form::TextBox& box, QLineEdit* widget);
void bindList(form::ListBox& list, QListWidget* widget);
void bindCombo(form::ComboBox& combo, QComboBox* widget);

// A caption without its accelerator marks: "&OK" -> "OK", "a && b" -> "a & b".
QString withoutMnemonic(const std::string& caption);

}  // namespace kelvaro::qtui
