#pragma once

#include "window_services/global_shortcut_service.h"

#include <QDBusConnection>
#include <functional>
#include <memory>
#include <vector>

using GlobalShortcutWay = std::function<std::unique_ptr<GlobalShortcutService>()>;

// The ways this system may give global shortcuts, best first: the desktop portal, KDE's
// global shortcut service, then grabs of the keys where the program is an X11 client.
std::vector<GlobalShortcutWay> systemGlobalShortcutWays(const QDBusConnection& bus);
