// Icon files named by Windows paths, loaded through the path converter.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <string>
#include <vector>

#include "platform/linux/QtIconLoader.h"
#include "tests/linux/TempFolder.h"

using kelvaro::linuxp::QtIconLoader;
using kelvaro::testsupport::TempFolder;
using kelvaro::testsupport::writeFile;

namespace {

// One .ico file's bytes holding one image.
QByteArray singleIcon(int side, QColor color) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "ICO");
    return bytes;
}

// Several single-image .ico files joined into one, as icon editors make them:
// a 6-byte header, one 16-byte entry per image (its data offset at byte 12),
// then the images' data.
QByteArray joinIcons(const std::vector<QByteArray>& icons) {
    QByteArray out("\0\0\1\0", 4);
    out.append(static_cast<char>(icons.size()));
    out.append('\0');
    quint32 offset = 6 + 16 * static_cast<quint32>(icons.size());
    QByteArray data;
    for (const QByteArray& one : icons) {
        QByteArray entry = one.mid(6, 16);
        const QByteArray body = one.mid(22);
        for (int i = 0; i < 4; ++i) entry[12 + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
        out.append(entry);
        data.append(body);
        offset += static_cast<quint32>(body.size());
    }
    return out + data;
}

bool writeIcon(const std::string& path, int side, QColor color) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return image.save(QString::fromStdString(path), "ICO");
}

}  // namespace

TEST(QtIconLoader, LoadsThroughTheConverterAndKeepsTheIcon) {
    ASSERT_TRUE(QImageWriter::supportedImageFormats().contains("ico"));
    TempFolder tmp;
    ASSERT_TRUE(writeIcon(tmp / "KELVARO1.ICO", 32, Qt::red));
    std::vector<std::string> asked;
    QtIconLoader icons([&](const std::string& windowsPath) {
        asked.push_back(windowsPath);
        std::string name = windowsPath.substr(windowsPath.rfind('\\') + 1);
        return tmp / name;
    });
    EXPECT_TRUE(icons.load("C:\\KELVARO\\KELVARO1.ICO"));
    EXPECT_EQ(asked, std::vector<std::string>{"C:\\KELVARO\\KELVARO1.ICO"});
    const QIcon icon = icons.iconFor("C:\\KELVARO\\KELVARO1.ICO");
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(icon.pixmap(32, 32).toImage().pixelColor(5, 5), QColor(Qt::red));
    // Another path is another icon.
    EXPECT_TRUE(icons.iconFor("C:\\KELVARO\\KELVARO2.ICO").isNull());
}

TEST(QtIconLoader, MissingOrNonImageFilesFail) {
    TempFolder tmp;
    writeFile(tmp / "KELVARO2.ICO", "this is not an icon\n");
    writeFile(tmp / "EMPTY.ICO", "");
    QtIconLoader icons([&](const std::string& p) { return tmp / p; });
    EXPECT_FALSE(icons.load("MISSING.ICO"));
    EXPECT_FALSE(icons.load("KELVARO2.ICO"));
    EXPECT_FALSE(icons.load("EMPTY.ICO"));
    EXPECT_FALSE(icons.load(""));
    EXPECT_TRUE(icons.iconFor("KELVARO2.ICO").isNull());
    EXPECT_TRUE(icons.iconFor("MISSING.ICO").isNull());
}

TEST(QtIconLoader, AFailedReloadForgetsTheOldIcon) {
    TempFolder tmp;
    ASSERT_TRUE(writeIcon(tmp / "KELVARO1.ICO", 16, Qt::blue));
    QtIconLoader icons;  // paths taken as they are
    const std::string path = tmp / "KELVARO1.ICO";
    ASSERT_TRUE(icons.load(path));
    EXPECT_FALSE(icons.iconFor(path).isNull());
    writeFile(path, "damaged");
    EXPECT_FALSE(icons.load(path));
    EXPECT_TRUE(icons.iconFor(path).isNull());
}

TEST(QtIconLoader, ReadsEveryImageOfAFile) {
    TempFolder tmp;
    const std::string path = tmp / "KELVARO2.ICO";
    const QByteArray bytes = joinIcons({singleIcon(16, Qt::green), singleIcon(32, Qt::yellow)});
    writeFile(path, bytes.toStdString());
    QtIconLoader icons;
    ASSERT_TRUE(icons.load(path));
    const QIcon icon = icons.iconFor(path);
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(icon.pixmap(32, 32).toImage().pixelColor(3, 3), QColor(Qt::yellow));
    EXPECT_EQ(icon.pixmap(16, 16).toImage().pixelColor(3, 3), QColor(Qt::green));
}

// The title animation loads the same two files every second: the drive map is
// asked again only when the file it led to is gone or another.
TEST(QtIconLoader, AnUnchangedFileIsNeitherLookedUpNorReadAgain) {
    TempFolder tmp;
    ASSERT_TRUE(writeIcon(tmp / "KELVARO1.ICO", 16, Qt::red));
    int lookups = 0;
    QtIconLoader icons([&](const std::string& p) {
        ++lookups;
        return tmp / p;
    });
    for (int tick = 0; tick < 3; ++tick) EXPECT_TRUE(icons.load("KELVARO1.ICO"));
    EXPECT_EQ(lookups, 1);

    // Another icon under the same name: looked up and read again.
    ASSERT_TRUE(writeIcon(tmp / "NEW.ICO", 32, Qt::blue));
    std::filesystem::rename(tmp / "NEW.ICO", tmp / "KELVARO1.ICO");
    EXPECT_TRUE(icons.load("KELVARO1.ICO"));
    EXPECT_EQ(lookups, 2);
    EXPECT_EQ(icons.iconFor("KELVARO1.ICO").pixmap(32, 32).toImage().pixelColor(3, 3), QColor(Qt::blue));

    // Gone: the load fails, and the next one looks again.
    std::filesystem::remove(tmp / "KELVARO1.ICO");
    EXPECT_FALSE(icons.load("KELVARO1.ICO"));
    EXPECT_FALSE(icons.load("KELVARO1.ICO"));
    EXPECT_EQ(lookups, 4);
    EXPECT_TRUE(icons.iconFor("KELVARO1.ICO").isNull());
}
