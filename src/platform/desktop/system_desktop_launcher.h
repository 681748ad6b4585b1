#pragma once

#include "player/desktop_launcher.h"

// The desktop launcher of the platform the program was built for.
class SystemDesktopLauncher final : public DesktopLauncher {
public:
    void unregisterComponent(const QString& libraryName) override;
    void openFolder(const QString& folder) override;
    void openVolumeMixer() override;
};
