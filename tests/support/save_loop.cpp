// Saves the settings over and over until it is killed: the subject of the test
// that kills a save at random moments. Every save writes generation N into all
// keys of one section, and a padding value long enough that a kill often lands
// inside the write. One byte on stdout says the saving begins, so that the test
// times its kills from there, whatever the start-up costs (a sanitizer build).
// Usage: kelvaro_save_loop CONFIG_HOME PADDING_BYTES
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/linux/IniSettingsStore.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string app = kelvaro::linuxp::IniSettingsStore::kProgramApp;
    kelvaro::linuxp::IniSettingsStore store(argv[1]);
    if (store.unreadableMessage()) return 4;
    const std::size_t padding = std::strtoul(argv[2], nullptr, 10);
    long generation = std::atol(store.get(app, "Saves", "Generation", "0").c_str());
    if (::write(1, "s", 1) != 1) return 5;
    for (;;) {
        const std::string n = std::to_string(++generation);
        store.save(app, "Saves", "Generation", n);
        for (int key = 1; key <= 44; ++key) store.save(app, "Saves", "Key" + std::to_string(key), n);
        store.save(app, "Saves", "Padding", std::string(padding, static_cast<char>('a' + generation % 26)));
        // A failed save ends with a status the test tells apart from the kill.
        if (store.commit()) std::_Exit(3);
    }
}
