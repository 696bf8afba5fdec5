// The busiest user path, timed per action: 24 drives added one by one by a
// double click in "Available Drives:" and removed again by double clicks in
// "Selected Drives for Backup:". Each action is two full saves to the real INI
// file (written and synced) and a redraw of both lists and the settings lines,
// through the real main window view. The other platform parts are the fakes.
// Run by hand (offscreen unless QT_QPA_PLATFORM says otherwise):
//   build/bench/bench_drive_list [rounds]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTemporaryDir>
#include <time.h>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <vector>

#include "form/AppContext.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/IniSettingsStore.h"
#include "ui/MainWindowModel.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtWindowHost.h"

using namespace kelvaro;

namespace {

void send(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons, ulong stamp) {
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier,
                      QPointingDevice::primaryPointingDevice());
    event.setTimestamp(stamp);
    QApplication::instance()->notify(widget, &event);
}

double cpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

struct Timing {
    double wall = 0;  // microseconds, the syncs of the saves included
    double cpu = 0;   // microseconds of this thread's CPU time
};

// One double click on a row, the events as the application delivers them, and
// the events it leaves (the repaints) handled.
Timing doubleClick(QListWidget* list, int row) {
    static ulong stamp = 1000;
    stamp += 1000;  // far apart: two double clicks never make a triple click
    list->scrollToItem(list->item(row));
    QApplication::processEvents();
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QWidget* port = list->viewport();
    QElapsedTimer clock;
    clock.start();
    const double cpu0 = cpuMicroseconds();
    send(port, QEvent::MouseButtonPress, at, Qt::LeftButton, stamp);
    send(port, QEvent::MouseButtonRelease, at, Qt::NoButton, stamp + 1);
    send(port, QEvent::MouseButtonPress, at, Qt::LeftButton, stamp + 2);
    send(port, QEvent::MouseButtonDblClick, at, Qt::LeftButton, stamp + 2);
    send(port, QEvent::MouseButtonRelease, at, Qt::NoButton, stamp + 3);
    QApplication::processEvents();
    return {clock.nsecsElapsed() / 1000.0, cpuMicroseconds() - cpu0};
}

// The real store, counting its full saves.
struct CountingStore : platform::SettingsStore {
    explicit CountingStore(platform::SettingsStore& inner) : inner(inner) {}
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& def) override {
        return inner.get(app, section, key, def);
    }
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override {
        inner.save(app, section, key, value);
    }
    std::optional<platform::CommitError> commit() override {
        ++commits;
        return inner.commit();
    }
    platform::SettingsStore& inner;
    int commits = 0;
};

void report(const char* what, const std::vector<Timing>& timings) {
    auto line = [&](const char* kind, double Timing::*field) {
        std::vector<double> us;
        for (const Timing& t : timings) us.push_back(t.*field);
        std::sort(us.begin(), us.end());
        const std::size_t n = us.size();
        const double median = n % 2 ? us[n / 2] : (us[n / 2 - 1] + us[n / 2]) / 2;
        std::printf("%-7s %-5s %4zu actions  median %8.0f us  worst %8.0f us\n", what, kind, n, median, us.back());
    };
    line("wall", &Timing::wall);
    line("cpu", &Timing::cpu);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir config;

    fake::FakePlatform fp;
    linuxp::IniSettingsStore ini(config.path().toStdString());
    CountingStore store(ini);
    platform::Platform p = fp.platform();
    form::AppContext ctx(platform::Platform{store, p.timers, p.clock, p.messages, p.screen, p.windows, p.processes,
                                            p.files, p.fileLocator, p.drives, p.sounds, p.icons, p.dates, p.info,
                                            p.currentDirectory});
    for (char letter = 'c'; letter <= 'z'; ++letter)
        fp.drives.add(letter, std::string(1, letter) + ": [/mnt/disk-" + letter + "]");
    fp.clock.set(2026, 12, 9, 10, 0, 0);
    qtui::QtWindowHost host;
    ctx.host = &host;
    ui::MainWindowModel model(ctx);
    host.setModel(&model);
    form::SplashForm splash;
    if (!model.startUp(splash)) return 1;
    QApplication::processEvents();

    auto* available = host.mainView()->findChild<QListWidget*>(QStringLiteral("Outline1"));
    auto* selected = host.mainView()->findChild<QListWidget*>(QStringLiteral("Outline2"));
    if (!available || !selected || available->count() != 24) {
        std::fprintf(stderr, "the drive lists are not as expected\n");
        return 1;
    }
    const int savesBefore = store.commits;
    std::vector<Timing> adds, removes;
    for (int round = 0; round < rounds; ++round) {
        for (int row = 0; row < 24; ++row) adds.push_back(doubleClick(available, row));
        if (selected->count() != 24) {
            std::fprintf(stderr, "%d drives selected after 24 double clicks\n", selected->count());
            return 1;
        }
        while (selected->count() > 0) removes.push_back(doubleClick(selected, 0));
    }
    report("add", adds);
    report("remove", removes);
    report("both", [&] { auto all = adds; all.insert(all.end(), removes.begin(), removes.end()); return all; }());
    std::printf("full saves: %d for %zu actions\n", store.commits - savesBefore, adds.size() + removes.size());
    return 0;
}
