#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/SettingsStore.h"
#include "platform/linux/IniDocument.h"

namespace kelvaro::linuxp {

// The settings store as one INI file per application and user:
// $XDG_CONFIG_HOME/<application>/settings.ini (XDG_CONFIG_HOME defaults to
// ~/.config). The file is read once, when the application is first used (the
// program's own application at construction); get and save work in memory and
// commit() replaces the file atomically (through a symbolic link: its target,
// so the link stays). A write failure is returned to the caller; the values stay
// in memory and the next successful commit writes them all.
//
// A missing file reads as empty. A file that exists but cannot be read (no
// permission, a folder in its place, larger than 16 MB) is never written over;
// the program asks unreadableMessage() at start and ends with it.
class IniSettingsStore : public platform::SettingsStore {
public:
    static constexpr const char* kProgramApp = "Kelvaro Workstation";

    // configHome empty: taken from the environment now.
    explicit IniSettingsStore(std::string configHome = {});

    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& def) override;
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    std::optional<platform::CommitError> commit() override;

    // What to tell the user when the program's own file exists but could not be
    // read; none when it was read or is missing.
    std::optional<std::string> unreadableMessage() const;

    // The folder holding the applications' folders, and one application's file.
    const std::string& configHome() const { return configHome_; }
    std::string filePath(const std::string& app) const;

    // $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config.
    static std::string defaultConfigHome();

private:
    struct AppFile {
        IniDocument doc;
        bool dirty = false;  // saved to since the last successful write
        std::string readProblem;  // why the existing file could not be read
    };
    AppFile& fileFor(const std::string& app);
    std::string folderPath(const std::string& app) const;
    // 0 on success, otherwise the errno of the step that failed.
    int writeFile(const std::string& app, const AppFile& file) const;

    std::string configHome_;
    std::map<std::string, AppFile> files_;
};

}  // namespace kelvaro::linuxp
