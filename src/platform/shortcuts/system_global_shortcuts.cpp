#include "platform/shortcuts/system_global_shortcuts.h"

#include "platform/shortcuts/key_grab_shortcuts.h"
#include "platform/shortcuts/kglobalaccel_shortcuts.h"
#include "platform/shortcuts/portal_shortcuts.h"

std::vector<GlobalShortcutWay> systemGlobalShortcutWays(const QDBusConnection& bus) {
    return {
        [bus] { return std::make_unique<PortalShortcuts>(bus); },
        [bus] { return std::make_unique<KGlobalAccelShortcuts>(bus); },
        [] { return std::make_unique<KeyGrabShortcuts>(); },
    };
}
