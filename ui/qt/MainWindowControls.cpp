#include "ui/qt/MainWindowControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>

#include "ui/qt/Binding.h"
#include "ui/qt/SnoozeMarker.h"
#include "ui/qt/TabControlWidget.h"

namespace kelvaro::qtui {
namespace {

using Grow = Placer::Grow;

QLabel* label(form::Label& control, QWidget* parent) {
    auto* w = new QLabel(parent);
    bindLabel(control, w);
    return w;
}

QLabel* fixedLabel(form::Label& control, QWidget* parent, const Placer& placer, int left, int top) {
    QLabel* w = label(control, parent);
    placer.place(w, left, top);
    return w;
}

QLabel* valueLabel(form::Label& control, QWidget* parent, const char* description) {
    auto* w = new QLabel(parent);
    bindValueLabel(control, w, QString::fromLatin1(description));
    return w;
}

QCheckBox* checkBox(form::CheckBox& control, QWidget* parent, const Placer& placer, int left, int top,
                    int width = 0, int height = 0) {
    auto* w = new QCheckBox(parent);
    bindCheckBox(control, w);
    placer.place(w, left, top, width, height);
    return w;
}

QRadioButton* option(form::OptionButton& control, QWidget* parent, const Placer& placer, int left, int top) {
    auto* w = new QRadioButton(parent);
    bindOption(control, w);
    placer.place(w, left, top);
    return w;
}

// A text box with the label that names it (its accessible name).
QLineEdit* textBox(form::TextBox& control, QLabel* named, QWidget* parent, const Placer& placer, int left,
                   int top, int width, int height) {
    auto* w = new QLineEdit(parent);
    bindTextBox(control, w);
    w->setAccessibleName(named->text());
    named->setBuddy(w);
    placer.place(w, left, top, width, height, Grow::Never);
    return w;
}

QListWidget* driveList(form::ListBox& control, QLabel* named, QWidget* parent, const Placer& placer, int left,
                       int top, int width, int height) {
    auto* w = new QListWidget(parent);
    bindList(control, w);
    w->setAccessibleName(named->text());
    named->setBuddy(w);
    placer.place(w, left, top, width, height, Grow::Never);
    return w;
}

void buildCurrentSettingsPage(form::MainForm& f, QWidget* page, const Placer& p) {
    QLabel* runDate = fixedLabel(f.Label112, page, p, 120, 480);
    // Created in the order the focus moves through them.
    textBox(f.Text1, runDate, page, p, 1080, 480, 975, 285);
    checkBox(f.DailyCheck, page, p, 2280, 480);
    QLabel* runTime = fixedLabel(f.Label113, page, p, 120, 960);
    textBox(f.text2, runTime, page, p, 1080, 960, 975, 285);
    static const char* const kDayNames[] = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
    static const int kDayLefts[] = {2280, 2760, 3240, 3840, 4320, 4800, 5280};
    const auto days = f.dayBoxes();
    for (int d = 0; d < 7; ++d) {
        auto* box = new QCheckBox(page);
        bindCheckBox(*days[d], box);
        // The boxes stand 32 pixels apart at 96 dpi; a narrower gap before the
        // letter keeps "M" and "W" clear of the next box.
        setCheckBoxSpacing(box, 3);
        p.place(box, kDayLefts[d], 960, 495, 255);
        // "M", "T" … say little on their own; the description names the day.
        box->setAccessibleDescription(QStringLiteral("Run Backup on %1").arg(QLatin1String(kDayNames[d])));
    }
    fixedLabel(f.Label114, page, p, 120, 1320);
    fixedLabel(f.Label115, page, p, 120, 1560);

    auto* panel = new QFrame(page);
    bindControl(f.SSPanel1, panel);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    setBackground(panel, panelGrey());
    setForeground(panel, settingsBlue());
    panel->setAccessibleName(QStringLiteral("Currently Saved Settings"));
    p.place(panel, 2400, 1440, 3855, 1095, Grow::Never);
    // The two summary lines change with every save; they wrap inside their
    // boxes, which keep the form's size. A long line (several drives) does not
    // fit: its tooltip shows it whole, as its accessible name says it whole.
    for (auto [control, top, width] : {std::tuple{&f.lblsetback, 120, 3615}, std::tuple{&f.lblsetback2, 480, 3495}}) {
        QLabel* line = valueLabel(*control, panel, "Currently Saved Settings");
        line->setWordWrap(true);
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPointer<QLabel> guarded(line);
        auto tip = [guarded, control] {
            if (guarded) guarded->setToolTip(QString::fromStdString(control->caption()));
        };
        control->addObserver([tip](form::Change change) {
            if (change == form::Change::State) tip();
        });
        tip();
        p.place(line, 120, top, width, 375, Grow::Never);
    }
}

void buildBackupTypePage(form::MainForm& f, QWidget* page, const Placer& p) {
    int top = 600;
    for (auto* button : f.backupTypeButtons()) {
        option(*button, page, p, 360, top);
        top += 360;
    }
}

void buildLogFilePage(form::MainForm& f, QWidget* page, const Placer& p) {
    auto* frame = new QGroupBox(page);
    bindControl(f.Frame1, frame);
    frame->setAccessibleName(QStringLiteral("Log File"));
    p.place(frame, 120, 720, 2175, 1455, Grow::Never);
    option(f.Option6, frame, p, 240, 240);
    option(f.Option7, frame, p, 240, 600);
    option(f.Option8, frame, p, 240, 960);

    // The label ends where the box it names begins; a wider font makes it
    // reach further left, never under the box.
    QLabel* name = label(f.Label117, page);
    p.place(name, 2520, 1080, 3840 - 60 - 2520, 0, Grow::Left);
    textBox(f.lognamebox, name, page, p, 3840, 1080, 2175, 285);
}

void buildOtherSettingsPage(form::MainForm& f, QWidget* page, const Placer& p) {
    int top = 600;
    for (auto* box : f.switchBoxes()) {
        checkBox(*box, page, p, 360, top);
        top += 360;
    }
    QLabel* tape = label(f.Label11, page);
    tape->setWordWrap(true);
    tape->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    p.place(tape, 3600, 600, 1815, 495);

    auto* combo = new QComboBox(page);
    bindCombo(f.Combo1, combo);
    combo->setAccessibleName(tape->text());
    tape->setBuddy(combo);
    p.place(combo, 3600, 1080, 1695, 0, Grow::Never);

    checkBox(f.Check6, page, p, 3240, 1800);
}

}  // namespace

void buildMainWindowControls(form::MainForm& f, QWidget* client, const Placer& p) {
    auto* tabs = new TabControlWidget(f.SSTab1, client);
    p.place(tabs, 120, 480, 6495, 2775, Grow::Never);
    buildCurrentSettingsPage(f, tabs->page(0), p);
    buildBackupTypePage(f, tabs->page(1), p);
    buildLogFilePage(f, tabs->page(2), p);
    buildOtherSettingsPage(f, tabs->page(3), p);

    QLabel* clock = valueLabel(f.lblTimeNow, client, "Current Time");
    clock->setFont(arialFont(20.25, true));
    clock->setAlignment(Qt::AlignCenter);
    setBackground(clock, panelGrey());
    setForeground(clock, QColor(255, 0, 0));
    p.place(clock, 6960, 600, 1815, 495, Grow::BothWays);

    QLabel* clockCaption = fixedLabel(f.Label116, client, p, 7080, 1080);
    setBackground(clockCaption, panelGrey());

    QLabel* available = fixedLabel(f.Label25, client, p, 120, 3360);
    driveList(f.Outline1, available, client, p, 120, 3600, 3135, 1455);
    QLabel* selected = fixedLabel(f.Label26, client, p, 3480, 3360);
    driveList(f.Outline2, selected, client, p, 3480, 3600, 3015, 1455);

    auto* marker = new SnoozeMarker(client);
    bindControl(f.Shape1, marker);
    marker->setAccessibleName(QStringLiteral("Snoozed"));
    p.place(marker, 6720, 4800, 255, 135, Grow::Never);

    QLabel* snoozed = valueLabel(f.lblSnozzeTime, client, "Snoozed Run Time");
    setBackground(snoozed, panelGrey());
    p.place(snoozed, 6960, 4800, 1095, 255, Grow::Never);
}

}  // namespace kelvaro::qtui
