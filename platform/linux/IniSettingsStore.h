#pragma once
#include <map>
#include <string>

#include "platform/SettingsStore.h"
#include "platform/linux/IniDocument.h"

namespace kelvaro::linuxp {

// The settings store as one INI file per application and user:
// $XDG_CONFIG_HOME/<application>/settings.ini (XDG_CONFIG_HOME defaults to
// ~/.config). The file is read once, when the application is first used (the
// program's own application at construction); get and save work in memory and
// commit() replaces the file atomically. A write failure is returned to the
// caller; the values stay in memory and the next successful commit writes them all.
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

    // The folder holding the applications' folders, and one application's file.
    const std::string& configHome() const { return configHome_; }
    std::string filePath(const std::string& app) const;

    // $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config.
    static std::string defaultConfigHome();

private:
    struct AppFile {
        IniDocument doc;
        bool dirty = false;  // saved to since the last successful write
    };
    AppFile& fileFor(const std::string& app);
    std::string folderPath(const std::string& app) const;
    // 0 on success, otherwise the errno of the step that failed.
    int writeFile(const std::string& app, const AppFile& file) const;

    std::string configHome_;
    std::map<std::string, AppFile> files_;
};

}  // namespace kelvaro::linuxp
