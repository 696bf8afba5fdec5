#pragma once
#include <array>
#include <string>
#include <vector>

#include "form/Controls.h"
#include "form/Window.h"

namespace kelvaro::form {

// A tab control: its page captions and the page shown.
class TabControl : public Control {
public:
    TabControl(std::string name, std::vector<std::string> captions)
        : Control(std::move(name)), captions_(std::move(captions)) {}
    const std::vector<std::string>& captions() const { return captions_; }
    int currentPage() const { return page_; }
    void setCurrentPage(int page) { if (page_ != page) { page_ = page; notify(Change::State); } }

private:
    std::vector<std::string> captions_;
    int page_ = 0;
};

// One toolbar button: a separator, a blank button, or a button with a key.
struct ToolbarButton {
    enum class Style { Separator, Button };
    Style style;
    std::string key;      // "butopen", "butdelete", "buthelp" or empty
    int image;            // 1-based index into the image list, 0 for none
    std::string tooltip;
};

// The status bar's five panels; panel 2 ("lblevent") holds the hints.
class StatusBar : public Control {
public:
    using Control::Control;
    const std::string& panelText(int panel) const { return texts_.at(panel - 1); }
    void setPanelText(int panel, const std::string& text) {
        if (texts_.at(panel - 1) != text) { texts_.at(panel - 1) = text; notify(Change::State); }
    }
    int hintWrites = 0;  // how often panel 2 was written by a hint

private:
    std::array<std::string, 5> texts_;
};

// The main window's controls as data, with their design-time texts and limits.
struct MainForm {
    MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    Window window{"frmMain"};

    // Outside the tab control.
    Label Label116{"Label116", "Current Time"};
    Label lblTimeNow{"lblTimeNow", "00:00:00"};
    Label Label25{"Label25", "Available Drives:"};
    ListBox Outline1{"Outline1"};
    Label Label26{"Label26", "Selected Drives for Backup:"};
    ListBox Outline2{"Outline2"};
    Control Shape1{"Shape1"};
    Label lblSnozzeTime{"lblSnozzeTime", ""};
    StatusBar StatusBar1{"StatusBar1"};
    std::vector<ToolbarButton> toolbar;

    TabControl SSTab1{"SSTab1", {"Current Settings", "Backup Type", "Log File", "Other Settings"}};

    // Page 0, "Current Settings".
    Label Label112{"Label112", "Run Date:"};
    TextBox Text1{"Text1", "Text1", 8};
    CheckBox DailyCheck{"DailyCheck", "DAILY"};
    Label Label113{"Label113", "Run Time:"};
    TextBox text2{"text2", "text2", 5};
    CheckBox Check7{"Check7", "M"};
    CheckBox Check8{"Check8", "T"};
    CheckBox Check9{"Check9", "W"};
    CheckBox Check10{"Check10", "T"};
    CheckBox Check11{"Check11", "F"};
    CheckBox Check12{"Check12", "S"};
    CheckBox Check13{"Check13", "S"};
    Label Label114{"Label114", "Please use"};
    Label Label115{"Label115", "24 hour Time."};
    Control SSPanel1{"SSPanel1"};
    Label lblsetback{"lblsetback", "lblsetback"};
    Label lblsetback2{"lblsetback2", "lblsetback2"};

    // Page 1, "Backup Type".
    OptionButton Option1{"Option1", "Normal"};
    OptionButton Option2{"Option2", "Copy"};
    OptionButton Option3{"Option3", "Incremental"};
    OptionButton Option4{"Option4", "Differential"};
    OptionButton Option5{"Option5", "Daily"};
    OptionGroup backupTypeGroup;

    // Page 2, "Log File".
    Control Frame1{"Frame1"};
    OptionButton Option6{"Option6", "Full Detail"};
    OptionButton Option7{"Option7", "Summary Only"};
    OptionButton Option8{"Option8", "No Log File"};
    OptionGroup logGroup;
    Label Label117{"Label117", "Log File Name:"};
    TextBox lognamebox{"lognamebox", "LogNameBox", 250};

    // Page 3, "Other Settings".
    CheckBox Check1{"Check1", "Append Tape"};
    CheckBox Check2{"Check2", "Verify after Backup"};
    CheckBox Check3{"Check3", "Hardware Compression"};
    CheckBox Check4{"Check4", "Restrict Access"};
    CheckBox Check5{"Check5", "Backup Local Registry"};
    Label Label11{"Label11", "Run Backup on Tape Drive Number:"};
    ComboBox Combo1{"Combo1"};
    CheckBox Check6{"Check6", "Minimized at startup"};

    // Menus.
    Button mnufile{"mnufile", "&File"};
    Button mnurefresh{"mnurefresh", "&Refresh"};
    Button mnustartbackupnow{"mnustartbackupnow", "&Start Backup"};
    Button mnuclose{"mnuclose", "&Close"};
    Button mnumin{"mnumin", "&Minimize"};
    Button mnuutil{"mnuutil", "&Utilities"};
    Button mnusound{"mnusound", "Sound"};
    Button mnucleardrive{"mnucleardrive", "Clear Current Drive Selection"};
    Button mnublank1{"mnublank1", "-"};
    Button mnuview{"mnuview", "View Log File"};
    Button mnudeletelog{"mnudeletelog", "Delete Log File"};
    Button mnuhelp{"mnuhelp", "&Help"};
    Button mnuhelp1{"mnuhelp1", "Help"};
    Button mnublankof{"mnublankof", "-"};
    Button mnuabout{"mnuabout", "&About"};

    // The day boxes, Monday first.
    std::array<CheckBox*, 7> dayBoxes() {
        return {&Check7, &Check8, &Check9, &Check10, &Check11, &Check12, &Check13};
    }
    // The switch boxes Check1 .. Check5.
    std::array<CheckBox*, 5> switchBoxes() { return {&Check1, &Check2, &Check3, &Check4, &Check5}; }
    // The backup-type buttons Option1 .. Option5.
    std::array<OptionButton*, 5> backupTypeButtons() { return {&Option1, &Option2, &Option3, &Option4, &Option5}; }
};

}  // namespace kelvaro::form
