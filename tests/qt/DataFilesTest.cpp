// The toolbar's images: the shipped file when there is one, the style's
// standard icon only when there is none.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include "ui/qt/DataFiles.h"

namespace kelvaro::test {
using qtui::dataIcon;
namespace {

QImage imageOf(const QIcon& icon) { return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32); }

TEST(DataFilesTest, AShippedImageWinsAndTheStandardIconStandsInForAMissingOne) {
    QTemporaryDir dir;
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("toolbar-test.png"))));
    const QByteArray previous = qgetenv("KELVARO_DATA_DIR");
    qputenv("KELVARO_DATA_DIR", dir.path().toLocal8Bit());
    QWidget widget;

    const QIcon shipped = dataIcon(QStringLiteral("toolbar-test.png"), &widget, QStyle::SP_TrashIcon);
    const QIcon missing = dataIcon(QStringLiteral("toolbar-none.png"), &widget, QStyle::SP_TrashIcon);
    qputenv("KELVARO_DATA_DIR", previous);

    EXPECT_EQ(imageOf(shipped), red);
    EXPECT_EQ(imageOf(missing), imageOf(widget.style()->standardIcon(QStyle::SP_TrashIcon)));
    EXPECT_NE(imageOf(missing), red);
}

}  // namespace
}  // namespace kelvaro::test
