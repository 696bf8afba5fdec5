#include "form/MainForm.h"

namespace kelvaro::form {

MainForm::MainForm() {
    window.setCaption("Kelvaro...");
    window.setSize(9015, 5565);
    Shape1.setVisible(false);
    lblSnozzeTime.setVisible(false);
    for (auto* b : backupTypeButtons()) backupTypeGroup.add(*b);
    logGroup.add(Option6);
    logGroup.add(Option7);
    logGroup.add(Option8);
    using S = ToolbarButton::Style;
    toolbar = {
        {S::Separator, "", 0, ""},
        {S::Button, "butopen", 28, "Open Log File"},
        {S::Button, "butdelete", 11, "Delete Log File"},
        {S::Button, "", 0, ""},
        {S::Separator, "", 0, ""},
        {S::Button, "", 0, ""},
        {S::Button, "buthelp", 19, "Help"},
    };
}

}  // namespace kelvaro::form
