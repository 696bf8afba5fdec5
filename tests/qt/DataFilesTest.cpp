// The toolbar's images: the shipped file when there is one, the style's
// standard icon only when there is none.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <QApplication>
#include <QStyleFactory>
#include <memory>

#include "ui/qt/DataFiles.h"
#include "ui/qt/DeferredIcon.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::test {
using qtui::dataIcon;
namespace {

QImage imageOf(const QIcon& icon) { return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32); }

TEST(DataFilesTest, AShippedImageWinsAndTheStandardIconStandsInForAMissingOne) {
    QTemporaryDir dir;
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("toolbar-test.ico"))));
    const QByteArray previous = qgetenv("KELVARO_DATA_DIR");
    qputenv("KELVARO_DATA_DIR", dir.path().toLocal8Bit());
    QWidget widget;

    const QIcon shipped = dataIcon(QStringLiteral("toolbar-test.ico"), &widget, QStyle::SP_TrashIcon);
    const QIcon missing = dataIcon(QStringLiteral("toolbar-none.ico"), &widget, QStyle::SP_TrashIcon);
    qputenv("KELVARO_DATA_DIR", previous);

    EXPECT_EQ(imageOf(shipped), red);
    EXPECT_EQ(imageOf(missing), imageOf(widget.style()->standardIcon(QStyle::SP_TrashIcon)));
    EXPECT_NE(imageOf(missing), red);
}

// The program's style reads the extension arrows itself (with the format named);
// they must be the very images the platform's style shows.
TEST(DataFilesTest, TheProgramStylesExtensionArrowsAreThePlatformStyles) {
    const std::unique_ptr<QStyle> program(qtui::createProgramStyle());
    const std::unique_ptr<QStyle> platform(QStyleFactory::create(QApplication::style()->name()));
    for (const auto arrow : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QIcon ours = program->standardIcon(arrow), theirs = platform->standardIcon(arrow);
        ASSERT_FALSE(ours.availableSizes().isEmpty()) << arrow;
        EXPECT_EQ(ours.availableSizes(), theirs.availableSizes()) << arrow;
        for (const QSize size : theirs.availableSizes())
            EXPECT_EQ(ours.pixmap(size).toImage(), theirs.pixmap(size).toImage()) << arrow;
    }
}

// The arrows' files are read at the first drawing, not when the icon is made:
// a file written after that is the one drawn.
TEST(DataFilesTest, ADeferredIconReadsItsFileWhenFirstDrawn) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("arrow.png"));
    const QIcon icon = qtui::deferredIcon({file});
    ASSERT_FALSE(icon.isNull());

    QImage blue(8, 5, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(file));
    EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(8, 5)});
    EXPECT_EQ(icon.pixmap(8, 5).toImage().convertToFormat(QImage::Format_ARGB32), blue);
}

}  // namespace
}  // namespace kelvaro::test
