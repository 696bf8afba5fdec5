// The floor: the least a Qt Widgets program needs for the resident program's
// visible work, so bench/resident.sh can give its costs as ratios. A window of
// the same size, a clock label set every 500 ms (so redrawn once a second),
// date and time panels in the status bar, and the title and icon swapped every
// second with the shipped icons. Nothing else: no settings, no schedule.
//   kelvaro-floor [WIDTHxHEIGHT [LEFT,TOP]]   (run beside KELVARO1.ICO, KELVARO2.ICO)
#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // 9015 x 5565 twips at 96 dpi plus a menu bar, unless told the real size.
    int width = 601, height = 393, left = 0, top = 0;
    if (argc > 1) std::sscanf(argv[1], "%dx%d", &width, &height);
    if (argc > 2) std::sscanf(argv[2], "%d,%d", &left, &top);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kelvaro..."));
    const QIcon icons[2] = {QIcon(QStringLiteral("KELVARO1.ICO")), QIcon(QStringLiteral("KELVARO2.ICO"))};
    window.setWindowIcon(icons[0]);

    auto* clock = new QLabel(QStringLiteral("00:00:00"), &window);
    // The program's clock font, hint included, so both draw the same face.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(20.25);
    font.setBold(true);
    clock->setFont(font);
    clock->setAlignment(Qt::AlignCenter);
    QPalette red = clock->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    clock->setPalette(red);
    clock->setGeometry(464, 40, 121, 33);
    auto* date = new QLabel(window.statusBar());
    auto* time = new QLabel(window.statusBar());
    date->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    time->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    window.statusBar()->addWidget(new QLabel(window.statusBar()), 1);
    window.statusBar()->addWidget(date);
    window.statusBar()->addWidget(time);

    QTimer tick;  // the clock, twice a second; QLabel repaints only on a new text
    QObject::connect(&tick, &QTimer::timeout, clock,
                     [clock] { clock->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))); });
    tick.start(500);
    int shown = 0;
    QTimer title;  // title, icon and the two panels, once a second
    QObject::connect(&title, &QTimer::timeout, &window, [&] {
        shown = 1 - shown;
        window.setWindowIcon(icons[shown]);
        window.setWindowTitle(shown ? QStringLiteral("Running...") : QStringLiteral("Kelvaro Workstation..."));
        const QDateTime now = QDateTime::currentDateTime();
        date->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
        time->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
    });
    title.start(1000);

    window.resize(width, height);
    window.move(left, top);
    window.show();
    return app.exec();
}
