#pragma once

#include "AlsaOutputDevices.h"
#include "LinuxMusicApp.h"
#include "LinuxWorkspace.h"
#include "QtFilePanels.h"

// The platform services of the Linux application, owned in one place.
struct LinuxPlatform {
    AlsaOutputDevices outputDevices;
    LinuxMusicApp musicApp;
    LinuxWorkspace workspace;
    QtFilePanels filePanels;

    PlatformServices services() { return {&outputDevices, &musicApp, &workspace, &filePanels}; }
};
