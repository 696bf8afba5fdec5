#include "ui/qt/Binding.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>
#include <memory>

#include "ui/qt/TabControlWidget.h"

namespace kelvaro::qtui {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Runs a function for events of one object; lives as long as that object.
class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<bool(QEvent*)> handler)
        : QObject(target), handler_(std::move(handler)) {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return handler_(event); }

private:
    std::function<bool(QEvent*)> handler_;
};

// Calls `sync` on every state change of the control, with the widget's signals
// blocked, and once now. A widget already destroyed is skipped.
template <class W, class Sync>
void observe(form::Control& control, W* widget, Sync sync) {
    QPointer<W> guarded(widget);
    control.addObserver([guarded, sync](form::Change change) {
        if (change != form::Change::State || !guarded) return;
        const QSignalBlocker blocker(guarded.data());
        sync(guarded.data());
    });
    const QSignalBlocker blocker(widget);
    sync(widget);
}

void name(form::Control& control, QObject* object) {
    object->setObjectName(qs(control.name()));
    object->setProperty(kControlProperty, qs(control.name()));
}

void syncEnabledVisible(const form::Control& control, QWidget* widget) {
    widget->setEnabled(control.enabled());
    // Only an explicit change: a widget on a page not shown counts as not hidden.
    if (widget->isHidden() == control.visible()) widget->setVisible(control.visible());
}

// A page of the tab control that is not shown cannot take the focus; the model
// is asked to show it first.
void uncoverPagesOf(QWidget* widget) {
    for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (auto* tabs = dynamic_cast<TabControlWidget*>(w)) tabs->showPageOf(widget);
}

}  // namespace

QString withoutMnemonic(const std::string& caption) {
    QString out;
    const QString text = qs(caption);
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size()) out += text[++i];
            continue;
        }
        out += text[i];
    }
    return out;
}

void bindControl(form::Control& control, QWidget* widget) {
    name(control, widget);
    QPointer<QWidget> guarded(widget);
    form::Control* c = &control;
    // Set by a change, cleared by the immediate paint: a redraw of a control whose
    // content did not change (the clock twice within one second) paints nothing.
    auto changed = std::make_shared<bool>(true);
    control.addObserver([guarded, c, changed](form::Change change) {
        if (!guarded) return;
        switch (change) {
        case form::Change::State:
            *changed = true;
            syncEnabledVisible(*c, guarded);
            break;
        case form::Change::Focus:
            uncoverPagesOf(guarded);
            guarded->setFocus(Qt::OtherFocusReason);
            break;
        case form::Change::Redraw:
            // Painted now, not at the next pass of the event loop.
            if (*changed && guarded->isVisible()) {
                *changed = false;
                guarded->repaint();
            }
            break;
        }
    });
    syncEnabledVisible(control, widget);
}

void showText(QLabel* widget, const QString& text) {
    if (widget->text() != text) widget->setText(text);
    // Set even when empty: an empty name would let Qt fall back to other texts.
    if (widget->accessibleName() != text) widget->setAccessibleName(text);
}

void bindLabel(form::Label& label, QLabel* widget) {
    bindControl(label, widget);
    widget->setTextFormat(Qt::PlainText);
    observe(label, widget, [&label](QLabel* w) { showText(w, qs(label.caption())); });
}

void bindValueLabel(form::Label& label, QLabel* widget, const QString& description) {
    bindLabel(label, widget);
    widget->setAccessibleDescription(description);
}

void bindButton(form::Button& button, QAbstractButton* widget) {
    bindControl(button, widget);
    widget->setText(qs(button.caption()));
    widget->setAccessibleName(withoutMnemonic(button.caption()));
    QObject::connect(widget, &QAbstractButton::clicked, widget, [&button] { button.click(); });
}

void bindAction(form::Button& entry, QAction* action) {
    action->setObjectName(qs(entry.name()));
    action->setText(qs(entry.caption()));
    QPointer<QAction> guarded(action);
    form::Button* e = &entry;
    auto sync = [e](QAction* a) {
        const QSignalBlocker blocker(a);
        a->setEnabled(e->enabled());
        a->setVisible(e->visible());
        if (a->isCheckable()) a->setChecked(e->checked());
    };
    entry.addObserver([guarded, sync](form::Change change) {
        if (change == form::Change::State && guarded) sync(guarded);
    });
    sync(action);
    QObject::connect(action, &QAction::triggered, action, [e, action, sync] {
        e->click();
        // A checkable entry toggled itself; the model decides its mark.
        sync(action);
    });
}

void bindCheckBox(form::CheckBox& box, QCheckBox* widget) {
    bindControl(box, widget);
    widget->setText(qs(box.caption()));
    widget->setAccessibleName(withoutMnemonic(box.caption()));
    auto sync = [&box](QCheckBox* w) { w->setChecked(box.checked()); };
    observe(box, widget, sync);
    // The model's handler may refuse the change (the last day box); the widget
    // then shows what the model holds.
    QObject::connect(widget, &QCheckBox::toggled, widget, [&box, widget, sync](bool on) {
        box.setChecked(on);
        const QSignalBlocker blocker(widget);
        sync(widget);
    });
}

void bindOption(form::OptionButton& option, QRadioButton* widget) {
    bindControl(option, widget);
    widget->setText(qs(option.caption()));
    widget->setAccessibleName(withoutMnemonic(option.caption()));
    auto sync = [&option](QRadioButton* w) {
        if (w->isChecked() == option.value()) return;
        if (option.value()) {
            w->setChecked(true);
        } else {
            // Qt refuses to clear the checked button of an exclusive group; the
            // model's group is the one that decides.
            const bool exclusive = w->autoExclusive();
            w->setAutoExclusive(false);
            w->setChecked(false);
            w->setAutoExclusive(exclusive);
        }
    };
    observe(option, widget, sync);
    // Only the button that comes on selects. The one going off is Qt's own
    // exclusive group at work; the model's group clears it in the same step.
    QObject::connect(widget, &QRadioButton::toggled, widget, [&option, widget, sync](bool on) {
        if (!on) return;
        option.select();
        const QSignalBlocker blocker(widget);
        sync(widget);
    });
}

void bindTextBox(form::TextBox& box, QLineEdit* widget) {
    bindControl(box, widget);
    auto sync = [&box](QLineEdit* w) {
        const QString text = qs(box.text());
        // The limit holds for typing only; code may put a longer text in, and
        // QLineEdit would cut it.
        const int limit = box.maxLength() > 0 ? box.maxLength() : 32767;
        w->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
        if (w->text() != text) w->setText(text);
    };
    observe(box, widget, sync);
    // Typing, pasting, undo and an accessible text change all come here; the
    // model's own texts arrive with the signals blocked.
    QObject::connect(widget, &QLineEdit::textChanged, widget, [&box, widget, sync](const QString& text) {
        box.type(text.toStdString());
        const QSignalBlocker blocker(widget);
        sync(widget);
    });
    auto busy = std::make_shared<bool>(false);
    new EventHook(widget, [&box, busy](QEvent* event) {
        if (event->type() != QEvent::FocusOut) return false;
        // Another window taking the focus (a message box, a menu, another
        // program) is no move of the focus inside this window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        if (*busy) return false;
        *busy = true;
        box.loseFocus();
        *busy = false;
        return false;
    });
}

void bindList(form::ListBox& list, QListWidget* widget) {
    bindControl(list, widget);
    auto sync = [&list](QListWidget* w) {
        const auto& items = list.items();
        bool same = w->count() == static_cast<int>(items.size());
        for (int i = 0; same && i < w->count(); ++i) same = w->item(i)->text() == qs(items[i]);
        if (!same) {
            w->clear();
            for (const auto& item : items) w->addItem(qs(item));
        }
        if (w->currentRow() != list.currentIndex()) w->setCurrentRow(list.currentIndex());
    };
    observe(list, widget, sync);
    QObject::connect(widget, &QListWidget::currentRowChanged, widget,
                     [&list](int row) { list.setCurrentIndex(row); });
    QObject::connect(widget, &QListWidget::itemDoubleClicked, widget, [&list, widget, sync](QListWidgetItem* item) {
        list.doubleClick(widget->row(item));
        const QSignalBlocker blocker(widget);
        sync(widget);
    });
    // Enter does what the double click does, so the lists work from the keyboard.
    new EventHook(widget, [&list, widget, sync](QEvent* event) {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || widget->currentRow() < 0) return false;
        list.doubleClick(widget->currentRow());
        const QSignalBlocker blocker(widget);
        sync(widget);
        return true;
    });
}

void bindCombo(form::ComboBox& combo, QComboBox* widget) {
    bindControl(combo, widget);
    widget->setEditable(true);
    // Enter in the edit field must not add the typed text to the list.
    widget->setInsertPolicy(QComboBox::NoInsert);
    auto sync = [&combo](QComboBox* w) {
        // Filling the list changes the edit field, which must not reach the model.
        const QSignalBlocker editBlocker(w->lineEdit());
        const auto& items = combo.items();
        bool same = w->count() == static_cast<int>(items.size());
        for (int i = 0; same && i < w->count(); ++i) same = w->itemText(i) == qs(items[i]);
        if (!same) {
            w->clear();
            for (const auto& item : items) w->addItem(qs(item));
        }
        // The entry that matches the text is the current one, so that choosing
        // another entry, however it is done, is a change of the current entry.
        const QString text = qs(combo.text());
        const int index = w->findText(text, Qt::MatchExactly);
        if (index >= 0 && w->currentIndex() != index) w->setCurrentIndex(index);
        if (w->currentText() != text) w->setEditText(text);
    };
    observe(combo, widget, sync);
    // A new current entry, from the list, the arrow keys or an accessible
    // action, is the user's choice. `activated` alone tells of choosing the
    // entry that is current already; it follows at once when the entry changed,
    // and that choice has been forwarded.
    auto forwarded = std::make_shared<bool>(false);
    auto choose = [&combo, widget, sync](int index) {
        combo.choose(index);
        const QSignalBlocker blocker(widget);
        sync(widget);
    };
    QObject::connect(widget, &QComboBox::currentIndexChanged, widget, [widget, forwarded, choose](int index) {
        if (index < 0) return;
        *forwarded = true;
        QMetaObject::invokeMethod(widget, [forwarded] { *forwarded = false; }, Qt::QueuedConnection);
        choose(index);
    });
    QObject::connect(widget, &QComboBox::activated, widget, [forwarded, choose](int index) {
        if (*forwarded) {
            *forwarded = false;
            return;
        }
        choose(index);
    });
    // A screen reader chooses an entry by selecting it in the list while the
    // list is not shown (the Toggle action of the entry); the list shown is the
    // user moving through it, whose choice comes with `activated`.
    QAbstractItemView* list = widget->view();
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, widget,
                     [widget, list](const QItemSelection& selected) {
                         if (list->isVisible() || selected.indexes().isEmpty()) return;
                         const int row = selected.indexes().first().row();
                         if (row != widget->currentIndex()) widget->setCurrentIndex(row);
                     });
    // Typed text is only mirrored: the drop-down has no change handler.
    if (QLineEdit* edit = widget->lineEdit()) {
        QObject::connect(edit, &QLineEdit::textChanged, widget,
                         [&combo](const QString& text) { combo.setText(text.toStdString()); });
    }
}

}  // namespace kelvaro::qtui
