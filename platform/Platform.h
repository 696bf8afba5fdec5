#pragma once
#include "platform/Clock.h"
#include "platform/CurrentDirectory.h"
#include "platform/DateValidator.h"
#include "platform/DriveProbe.h"
#include "platform/FileDeleter.h"
#include "platform/FileLocator.h"
#include "platform/IconLoader.h"
#include "platform/MessageBox.h"
#include "platform/PlatformInfo.h"
#include "platform/ProcessStarter.h"
#include "platform/Screen.h"
#include "platform/SettingsStore.h"
#include "platform/SoundPlayer.h"
#include "platform/Timer.h"
#include "platform/WindowFinder.h"

namespace kelvaro::platform {

// Every platform operation the program uses, handed to the models as one bundle.
struct Platform {
    SettingsStore& store;
    TimerFactory& timers;
    Clock& clock;
    MessageBox& messages;
    Screen& screen;
    WindowFinder& windows;
    ProcessStarter& processes;
    FileDeleter& files;
    FileLocator& fileLocator;
    DriveProbe& drives;
    SoundPlayer& sounds;
    IconLoader& icons;
    DateValidator& dates;
    PlatformInfo& info;
    CurrentDirectory& currentDirectory;
};

}  // namespace kelvaro::platform
