// The Qt message box: exactly the text, caption, buttons and icon asked for,
// and the answer given by the button pressed.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/linux/QtMessageBox.h"

using kelvaro::linuxp::QtMessageBox;
namespace pf = kelvaro::platform;

namespace {

struct SeenBox {
    bool seen = false;
    QString text, label, title, informative, detailed;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QStringList buttonTexts;
};

// From inside the box's own event loop: records the box, then acts on it.
void whenBoxOpens(SeenBox& seen, std::function<void(QMessageBox*)> act) {
    auto* poll = new QTimer;
    auto polls = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, polls, &seen, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box && ++*polls < 500) return;
        poll->stop();
        poll->deleteLater();
        if (!box) return;
        seen.seen = true;
        seen.text = box->text();
        if (auto* l = box->findChild<QLabel*>("qt_msgbox_label")) seen.label = l->text();
        seen.title = box->windowTitle();
        seen.informative = box->informativeText();
        seen.detailed = box->detailedText();
        seen.format = box->textFormat();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        for (QAbstractButton* b : box->buttons()) seen.buttonTexts << b->text();
        seen.buttonTexts.sort();
        act(box);
    });
    poll->start(10);
}

std::function<void(QMessageBox*)> click(QMessageBox::StandardButton which) {
    return [which](QMessageBox* box) { box->button(which)->click(); };
}

}  // namespace

TEST(QtMessageBox, YesNoBoxShowsExactlyWhatWasAskedAndAnswersYes) {
    QtMessageBox messages;
    SeenBox seen;
    whenBoxOpens(seen, click(QMessageBox::Yes));
    const auto answer = messages.show("Delete Log File : C:\\KELVARO.LOG", pf::Buttons::YesNo,
                                      pf::Icon::Exclamation, "Kelvaro");
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(answer, pf::Answer::Yes);
    EXPECT_EQ(seen.text, "Delete Log File : C:\\KELVARO.LOG");
    EXPECT_EQ(seen.label, "Delete Log File : C:\\KELVARO.LOG");
    EXPECT_EQ(seen.title, "Kelvaro");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);
    EXPECT_EQ(seen.buttonTexts, QStringList({"&No", "&Yes"}));  // standard accelerators
    EXPECT_TRUE(seen.informative.isEmpty());
    EXPECT_TRUE(seen.detailed.isEmpty());
}

TEST(QtMessageBox, NoAndEscapeAnswerNo) {
    QtMessageBox messages;
    SeenBox seen;
    whenBoxOpens(seen, click(QMessageBox::No));
    EXPECT_EQ(messages.show("Do you really want to end this session?", pf::Buttons::YesNo, pf::Icon::Question,
                            "Kelvaro Workstation"),
              pf::Answer::No);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.icon, QMessageBox::Question);

    SeenBox escaped;
    whenBoxOpens(escaped, [](QMessageBox* box) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &esc);
    });
    EXPECT_EQ(messages.show(" Snooze For 15 minutes  ", pf::Buttons::YesNo, pf::Icon::Exclamation,
                            "Kelvaro Workstation"),
              pf::Answer::No);
    ASSERT_TRUE(escaped.seen);
    EXPECT_EQ(escaped.text, " Snooze For 15 minutes  ");  // blanks kept
}

TEST(QtMessageBox, OkBoxWithCriticalIconAndLineFeed) {
    QtMessageBox messages;
    SeenBox seen;
    whenBoxOpens(seen, click(QMessageBox::Ok));
    const std::string text =
        "NTBackup is already running. Can not continue.\nPlease close NTBackup.exe before scheduling Kelvaro event.";
    EXPECT_EQ(messages.show(text, pf::Buttons::Ok, pf::Icon::Critical, "Kelvaro Workstation"), pf::Answer::Ok);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.text.toStdString(), text);
    EXPECT_EQ(seen.title, "Kelvaro Workstation");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.buttonTexts.size(), 1);
}

TEST(QtMessageBox, NoIconAndMarkupShownAsPlainText) {
    QtMessageBox messages;
    SeenBox seen;
    whenBoxOpens(seen, click(QMessageBox::Ok));
    const std::string text = "<b>Error Loading NTBackup.exe. </b> & <i>File not found Error#53";
    EXPECT_EQ(messages.show(text, pf::Buttons::Ok, pf::Icon::None, "Kelvaro Workstation"), pf::Answer::Ok);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.label.toStdString(), text);
}

TEST(QtMessageBox, NonAsciiTextAndCaptionArriveUnchanged) {
    QtMessageBox messages;
    SeenBox seen;
    whenBoxOpens(seen, click(QMessageBox::Ok));
    messages.show("Sicherung läuft – 日本語", pf::Buttons::Ok, pf::Icon::Exclamation, "Kelvaro ✓");
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, QString::fromUtf8("Sicherung läuft – 日本語"));
    EXPECT_EQ(seen.title, QString::fromUtf8("Kelvaro ✓"));
}

TEST(QtMessageBox, OpensOverAWindowOfTheProgramKeptOnTop) {
    // The splash at start-up: on top, not active (no window is).
    QWidget splash(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash.show();
    QtMessageBox messages;
    SeenBox seen;
    QWidget* owner = nullptr;
    bool onTop = false;
    whenBoxOpens(seen, [&](QMessageBox* box) {
        owner = box->parentWidget();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->button(QMessageBox::Ok)->click();
    });
    messages.show("The settings could not be saved", pf::Buttons::Ok, pf::Icon::Exclamation, "Kelvaro Workstation");
    ASSERT_TRUE(seen.seen);
    EXPECT_TRUE(onTop);
    EXPECT_EQ(owner, &splash);

    // With nothing of the program on top, the box is an ordinary one.
    splash.hide();
    whenBoxOpens(seen, [&](QMessageBox* box) {
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->button(QMessageBox::Ok)->click();
    });
    messages.show("No Log File Set.", pf::Buttons::Ok, pf::Icon::None, "Kelvaro Workstation");
    EXPECT_FALSE(onTop);
}
