#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <thread>
#include <vector>

namespace kelvaro::qtui {

// Texts drawn once into pictures, on a thread of their own. Qt keeps every font
// face a thread has used until that thread ends, with its file mapped; texts
// shown only for a moment (the splash's large italic captions) would otherwise
// stay with the resident program for good. The window's thread meanwhile goes
// on with its own work.
class TextPictures {
public:
    struct Text {
        QString text;
        QFont font;
        QColor colour;
        QColor background;
    };

    // Starts drawing at once.
    TextPictures(std::vector<Text> texts, qreal devicePixelRatio);
    ~TextPictures();
    TextPictures(const TextPictures&) = delete;
    TextPictures& operator=(const TextPictures&) = delete;

    // The pictures, in the order of the texts; waits for the drawing to end.
    const std::vector<QImage>& pictures();

private:
    void finish();
    std::vector<Text> texts_;
    std::vector<QString> fonts_;  // the fonts described, for the thread to build its own
    std::vector<QImage> pictures_;
    std::thread worker_;
};

// One text on its background, as large as a label with the same text and font
// asks to be, and drawn as that label draws it.
QImage drawText(const TextPictures::Text& text, qreal devicePixelRatio);

}  // namespace kelvaro::qtui
