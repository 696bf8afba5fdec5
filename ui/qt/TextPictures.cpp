#include "ui/qt/TextPictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <utility>

namespace kelvaro::qtui {
namespace {

// A label's default alignment, in which it draws its text.
constexpr int kLabelFlags = Qt::AlignLeft | Qt::AlignVCenter;
// Measured from the top, as a label measures: centred in the measuring box, a
// line of odd height would stand on half a pixel and come out a pixel taller.
constexpr int kMeasureFlags = Qt::AlignLeft | Qt::AlignTop;
// The box a label measures a line of text in when it has no width of its own.
constexpr int kMeasureBox = 2000;

}  // namespace

QImage drawText(const TextPictures::Text& text, qreal devicePixelRatio) {
    const QSize size =
        QFontMetrics(text.font).boundingRect(0, 0, kMeasureBox, kMeasureBox, kMeasureFlags, text.text).size();
    QImage picture(size * devicePixelRatio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(devicePixelRatio);
    // Opaque, as the window under it: anti-aliased edges blend as they would there.
    picture.fill(text.background);
    QPainter painter(&picture);
    painter.setFont(text.font);
    painter.setPen(text.colour);
    painter.drawText(QRect(QPoint(0, 0), size), kLabelFlags, text.text);
    return picture;
}

TextPictures::TextPictures(std::vector<Text> texts, qreal devicePixelRatio) : texts_(std::move(texts)) {
    for (const Text& text : texts_) fonts_.push_back(text.font.toString());
    worker_ = std::thread([this, devicePixelRatio] {
        for (std::size_t i = 0; i < texts_.size(); ++i) {
            // Fonts of this thread's own, sharing nothing with the caller's:
            // every face they load goes when the thread ends.
            QFont font;
            font.fromString(fonts_[i]);
            pictures_.push_back(drawText(Text{texts_[i].text, font, texts_[i].colour, texts_[i].background},
                                         devicePixelRatio));
        }
    });
}

TextPictures::~TextPictures() { finish(); }

const std::vector<QImage>& TextPictures::pictures() {
    finish();
    return pictures_;
}

void TextPictures::finish() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace kelvaro::qtui
