#pragma once
#include <QWidget>

namespace kelvaro::qtui {

// The snooze marker: the largest circle that fits its box, outlined in red and
// filled in blue.
class SnoozeMarker : public QWidget {
    Q_OBJECT
public:
    explicit SnoozeMarker(QWidget* parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kelvaro::qtui
