#pragma once
// In-memory stand-ins for every platform operation: tests script them and
// inspect what the program did with them.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/DateRules.h"
#include "platform/Platform.h"
#include "platform/StateStore.h"

namespace kelvaro::fake {

using namespace kelvaro::platform;

class FakeSettingsStore : public SettingsStore {
public:
    using Key = std::tuple<std::string, std::string, std::string>;  // app, section, key
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& def) override {
        ++gets;
        auto it = values.find({app, section, key});
        return it == values.end() ? def : it->second;
    }
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override {
        values[{app, section, key}] = value;
        saves.push_back({app, section, key});
    }
    std::optional<CommitError> commit() override {
        ++commits;
        return commitFailure;
    }

    // Convenience for the program's own application name.
    void put(const std::string& section, const std::string& key, const std::string& value) {
        values[{"Kelvaro Workstation", section, key}] = value;
    }
    std::string value(const std::string& section, const std::string& key) const {
        auto it = values.find({"Kelvaro Workstation", section, key});
        return it == values.end() ? "<missing>" : it->second;
    }
    bool has(const std::string& section, const std::string& key) const {
        return values.count({"Kelvaro Workstation", section, key}) != 0;
    }

    std::map<Key, std::string> values;
    std::vector<Key> saves;  // every save, in order
    int commits = 0;         // one per full save
    std::optional<CommitError> commitFailure;  // what every commit answers
    int gets = 0;
};

// The state a previous run of the program left, in memory.
class FakeStateStore : public StateStore {
public:
    StateRead read() override {
        ++reads;
        if (readProblem) return {std::nullopt, readProblem};
        return {text, std::nullopt};
    }
    std::optional<StateProblem> write(const std::string& t) override {
        writes.push_back(t);
        if (writeProblem) return writeProblem;
        text = t;
        return std::nullopt;
    }
    std::string location() const override { return "/home/alice/.local/state/Kelvaro Workstation/schedule.state"; }

    std::optional<std::string> text;         // none: nothing written yet
    std::optional<StateProblem> readProblem;  // what every read answers instead
    std::optional<StateProblem> writeProblem; // what every write answers
    std::vector<std::string> writes;          // every write, in order
    int reads = 0;
};

class FakeTimer;

// Owns the fake timers and moves their time on.
class FakeTimers : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer() override;
    // Moves time on by `ms`, firing due timers in time order.
    void advance(int ms);
    // Fires every enabled timer of that interval once, in creation order.
    void fire(int intervalMs);
    long long nowMs() const { return now_; }

private:
    friend class FakeTimer;
    std::vector<FakeTimer*> timers_;
    long long now_ = 0;
};

class FakeTimer : public Timer {
public:
    explicit FakeTimer(FakeTimers& hub) : hub_(hub) {}
    ~FakeTimer() override;
    void setInterval(int ms) override { interval_ = ms; next_ = hub_.now_ + ms; }
    int interval() const override { return interval_; }
    void setEnabled(bool on) override { if (on && !enabled_) next_ = hub_.now_ + interval_; enabled_ = on; }
    bool enabled() const override { return enabled_; }
    void setCallback(std::function<void()> cb) override { callback_ = std::move(cb); }

private:
    friend class FakeTimers;
    FakeTimers& hub_;
    int interval_ = 0;
    bool enabled_ = false;
    long long next_ = 0;
    std::function<void()> callback_;
};

class FakeClock : public Clock {
public:
    LocalDateTime now() override { return time; }
    // Sets the date and time; the weekday follows from the date.
    void set(int year, int month, int day, int hour, int minute, int second = 0);
    // Moves the time on by whole seconds, across days, months and years.
    void addSeconds(long long seconds);
    LocalDateTime time;
};

struct ShownMessage {
    std::string text;
    Buttons buttons;
    Icon icon;
    std::string caption;
};

class FakeMessageBox : public MessageBox {
public:
    Answer show(const std::string& text, Buttons buttons, Icon icon, const std::string& caption) override {
        shown.push_back({text, buttons, icon, caption});
        if (onShow) onShow(shown.back());
        if (buttons == Buttons::Ok) return Answer::Ok;
        if (answers.empty()) return Answer::No;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<ShownMessage> shown;
    std::deque<Answer> answers;  // for Yes/No boxes; No when empty
    std::function<void(const ShownMessage&)> onShow;
};

class FakeScreen : public Screen {
public:
    ScreenSize size() override { return screen; }
    void setBusyPointer(bool busy) override { busyCalls.push_back(busy); this->busy = busy; }
    ScreenSize screen{15360, 11520};  // 1024 x 768 pixels
    bool busy = false;
    std::vector<bool> busyCalls;
};

class FakeWindowFinder : public WindowFinder {
public:
    bool existsWithTitle(const std::string& title) override {
        lookups.push_back(title);
        return titles.count(title) != 0;
    }
    std::set<std::string> titles;
    std::vector<std::string> lookups;
};

struct StartedProcess {
    std::string commandLine;
    ShowState show;
};

class FakeProcessStarter : public ProcessStarter {
public:
    std::optional<SystemError> start(const std::string& commandLine, ShowState show) override {
        attempts.push_back({commandLine, show});
        if (failure) return failure;
        started.push_back({commandLine, show});
        if (onStart) onStart(started.back());
        return std::nullopt;
    }
    std::vector<StartedProcess> attempts;
    std::vector<StartedProcess> started;
    std::optional<SystemError> failure;
    std::function<void(const StartedProcess&)> onStart;
};

class FakeFileDeleter : public FileDeleter {
public:
    std::optional<SystemError> remove(const std::string& path) override {
        requests.push_back(path);
        if (existing.erase(path) == 1) return std::nullopt;
        return SystemError{53, "File not found"};
    }
    std::set<std::string> existing;
    std::vector<std::string> requests;
};

// Answers from the fake deleter's files, so a deleted file is gone for it too.
class FakeFileLocator : public FileLocator {
public:
    explicit FakeFileLocator(const FakeFileDeleter& files) : files_(files) {}
    std::string localPath(const std::string& windowsPath) override {
        auto it = localPaths.find(windowsPath);
        return it == localPaths.end() ? std::string() : it->second;
    }
    bool exists(const std::string& windowsPath) override { return files_.existing.count(windowsPath) != 0; }
    std::map<std::string, std::string> localPaths;

private:
    const FakeFileDeleter& files_;
};

class FakeDriveProbe : public DriveProbe {
public:
    DriveInfo probe(char letter) override {
        probed.push_back(letter);
        auto it = drives.find(letter);
        if (it == drives.end()) return {kErrNoDevice, lastText};
        if (it->second.error == 0) lastText = it->second.displayText;
        return it->second.error == 0 ? it->second : DriveInfo{it->second.error, lastText};
    }
    void add(char letter, const std::string& text) { drives[letter] = {0, text}; }
    std::map<char, DriveInfo> drives;
    std::vector<char> probed;
    std::string lastText;  // what the probe shows after its last success
};

struct PlayedSound {
    std::string file;
    bool wait;
};

class FakeSoundPlayer : public SoundPlayer {
public:
    void play(const std::string& file, bool wait) override { played.push_back({file, wait}); }
    std::vector<PlayedSound> played;
};

class FakeIconLoader : public IconLoader {
public:
    bool load(const std::string& path) override {
        attempts.push_back(path);
        return loadable.count(path) != 0;
    }
    std::set<std::string> loadable;
    std::vector<std::string> attempts;
};

class FakeDateValidator : public DateValidator {
public:
    bool isValidDate(const std::string& text) override { return isValidMonthDayYear(text); }
};

class FakePlatformInfo : public PlatformInfo {
public:
    bool isWindowsNT() override { return nt; }
    bool nt = true;
};

class FakeCurrentDirectory : public CurrentDirectory {
public:
    std::string get() override { return dir; }
    std::string dir = "C:\\KELVARO";
};

// All fakes together, with the bundle the models take.
struct FakePlatform {
    FakeSettingsStore store;
    FakeTimers timers;
    FakeClock clock;
    FakeMessageBox messages;
    FakeScreen screen;
    FakeWindowFinder windows;
    FakeProcessStarter processes;
    FakeFileDeleter files;
    FakeFileLocator fileLocator{files};
    FakeDriveProbe drives;
    FakeSoundPlayer sounds;
    FakeIconLoader icons;
    FakeDateValidator dates;
    FakePlatformInfo info;
    FakeCurrentDirectory currentDirectory;
    // Not part of the bundle: the main window model takes it on its own.
    FakeStateStore state;

    Platform platform() {
        return Platform{store, timers, clock, messages, screen, windows, processes,
                        files, fileLocator, drives, sounds, icons, dates, info, currentDirectory};
    }
};

}  // namespace kelvaro::fake
