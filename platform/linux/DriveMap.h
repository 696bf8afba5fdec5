#pragma once
#include <optional>
#include <string>

namespace kelvaro::linuxp {

// Drive letters in the Wine style: a folder of symbolic links named "c:" .. "z:",
// each pointing at the directory that stands for that drive. The program keeps
// Windows paths in its model; this map translates them at the edge, both ways.
class DriveMap {
public:
    // The map beside the settings file:
    // $XDG_CONFIG_HOME/Kelvaro Workstation/dosdevices (XDG_CONFIG_HOME defaults to ~/.config).
    DriveMap();
    // A map kept in the given folder.
    explicit DriveMap(std::string dosdevicesDir);

    static std::string defaultRoot();
    const std::string& root() const { return root_; }

    // First start: when the folder does not exist yet, creates it with c: -> home
    // and z: -> /. An existing folder is left exactly as the user keeps it.
    // True when the folder exists afterwards.
    bool ensureDefaults();
    bool ensureDefaults(const std::string& homeDir);

    // The resolved directory of a drive letter (either case), or none when the entry
    // is missing or not a symbolic link, or the link dangles, loops, leads to a
    // non-directory or cannot be read.
    std::optional<std::string> target(char letter) const;

    // "X:\a\b" -> target of x: + "/a/b". A path without a drive is taken relative to
    // the current directory ("a\b") or to the current drive's root ("\a\b").
    // None for a UNC path ("\\server\share") or a drive that does not exist.
    std::optional<std::string> toPosix(const std::string& windowsPath) const;

    // "/home/alice/logs/x.log" -> "C:\logs\x.log" through the drive whose target is the
    // longest prefix of the path at a component boundary; a drive's own directory
    // maps to "C:\". A relative path is taken relative to the current directory.
    // None when no drive covers the path.
    std::optional<std::string> toWindows(const std::string& posixPath) const;

private:
    std::string root_;
};

}  // namespace kelvaro::linuxp
