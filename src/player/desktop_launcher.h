#pragma once

#include <QString>

// Programs the player starts and never waits for. Each launch is fire-and-forget: a
// program that is missing or fails is not reported.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;

    // Drops a component registration left by an earlier version of the player. Only
    // platforms with a component registry do anything here.
    virtual void unregisterComponent(const QString& libraryName) = 0;

    // Shows a folder in the desktop's file manager.
    virtual void openFolder(const QString& folder) = 0;

    // Starts the desktop's volume mixer.
    virtual void openVolumeMixer() = 0;
};
