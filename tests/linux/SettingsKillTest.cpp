// A save killed at any moment leaves a settings file that reads back as one
// complete save. A helper process saves in a loop and is killed with SIGKILL
// after a random delay, again and again; after each kill the file is read as
// the next start reads it. KELVARO_KILL_LOOPS sets the number of kills (200
// here; raise it for a longer run by hand).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "platform/fake/FakePlatform.h"
#include "platform/linux/IniSettingsStore.h"
#include "tests/linux/TempFolder.h"

extern char** environ;

using kelvaro::linuxp::IniSettingsStore;
using kelvaro::testsupport::TempFolder;
namespace fs = std::filesystem;

namespace {

const std::string kApp = "Kelvaro Workstation";
constexpr std::size_t kPadding = 64 * 1024;

int killCount() {
    const char* n = std::getenv("KELVARO_KILL_LOOPS");
    return n && std::atoi(n) > 0 ? std::atoi(n) : 200;
}

// Starts the helper and returns once it begins saving (or has ended).
pid_t startSaveLoop(const std::string& configHome) {
    std::string exe = KELVARO_SAVE_LOOP, home = configHome, padding = std::to_string(kPadding);
    char* argv[] = {exe.data(), home.data(), padding.data(), nullptr};
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 1);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    char byte = 0;
    while (pid > 0 && ::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
    }
    ::close(ready[0]);
    return pid;
}

int temporariesIn(const std::string& folder) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind(".settings.ini.", 0) == 0) ++n;
    return n;
}

}  // namespace

TEST(SettingsKillTest, ASaveKilledAtAnyMomentLeavesOneCompleteSave) {
    TempFolder tmp;
    const std::string home = tmp / "config";
    const std::string folder = home + "/Kelvaro Workstation";
    std::mt19937 random(12);
    std::uniform_int_distribution<int> delayUs(0, 15000);

    long lastGeneration = 0;
    int cutShort = 0;  // kills that landed inside a save (a temporary was left)
    const int kills = killCount();
    for (int i = 0; i < kills; ++i) {
        const pid_t pid = startSaveLoop(home);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the helper ended by itself, status " << WEXITSTATUS(status);
        if (!fs::exists(folder)) continue;  // killed before its first save
        cutShort += temporariesIn(folder) > 0;

        // The next start: the file reads as one save, temporaries gone.
        IniSettingsStore store(home);
        ASSERT_EQ(store.unreadableMessage(), std::nullopt);
        const std::string generation = store.get(kApp, "Saves", "Generation", "0");
        const long n = std::atol(generation.c_str());
        ASSERT_GE(n, lastGeneration) << "kill " << i << ": an older save came back";
        lastGeneration = n;
        if (n == 0) continue;
        for (int key = 1; key <= 44; ++key)
            ASSERT_EQ(store.get(kApp, "Saves", "Key" + std::to_string(key), "<missing>"), generation)
                << "kill " << i << ", key " << key;
        ASSERT_EQ(store.get(kApp, "Saves", "Padding", ""), std::string(kPadding, static_cast<char>('a' + n % 26)))
            << "kill " << i;
        ASSERT_EQ(temporariesIn(folder), 0) << "kill " << i;
    }
    // Without these the test would prove nothing: saves were made, and kills
    // did land in the middle of them.
    EXPECT_GT(lastGeneration, 0);
    EXPECT_GT(cutShort, 0);
    std::printf("%d kills, %d inside a save, %ld saves completed\n", kills, cutShort, lastGeneration);
}
