#pragma once

#include "PlatformServices.h"

#include <functional>

// The workspace on a Linux desktop: files are revealed through the freedesktop file manager
// interface (or by opening their folder); windows are opened by the application shell, which
// installs the two handlers.
class LinuxWorkspace final : public Workspace {
public:
    std::function<void(const QString &id)> onOpenWindow;
    std::function<void()> onActivate;

    void revealFile(const QString &path) override;
    void openWindow(const QString &id) override;
    void activateApplication() override;
    // Nothing to switch here: the application keeps running without windows and never had a
    // taskbar entry of its own beyond its windows.
    void setAccessoryPolicy() override;
};
