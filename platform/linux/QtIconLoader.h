#pragma once
#include <QIcon>
#include <functional>
#include <map>
#include <string>

#include "platform/IconLoader.h"

namespace kelvaro::linuxp {

// Loads icon files named by Windows paths. The path converter maps such a path
// to the file on this system (the drive map); by default the name is used as is.
// The view takes the loaded icon with iconFor() and makes it the window icon.
class QtIconLoader : public platform::IconLoader {
public:
    using PathConverter = std::function<std::string(const std::string&)>;
    explicit QtIconLoader(PathConverter toLocalPath = {});

    // True when the file reads as an image; a failure forgets what the path held.
    bool load(const std::string& windowsPath) override;
    // The icon last loaded from that path, or a null icon.
    QIcon iconFor(const std::string& windowsPath) const;

private:
    // Where a path led and what the file was when it was last read. The title
    // animation asks for the same two files every second: a file still there
    // and unchanged is neither looked up through the drive map (a walk along
    // its links) nor decoded again; one stat tells.
    struct Loaded {
        std::string localPath;
        unsigned long long device = 0, inode = 0;
        long long size = -1, modifiedNs = 0;
        QIcon icon;
    };
    static bool sameFile(const Loaded& loaded);
    PathConverter toLocalPath_;
    std::map<std::string, Loaded> icons_;
};

}  // namespace kelvaro::linuxp
