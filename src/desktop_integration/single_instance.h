#pragma once

#include <QStringList>

class QDBusConnection;

// A second start of the player for the same user gives its files to the one that runs.
namespace SingleInstance {

enum class HandOver {
    NoRunningPlayer, // nobody holds the bus name (or there is no bus): this start runs
    HandedOver,      // the running player took the files, or raised its window
    Refused,         // the running player refused some of the files (and took the rest)
    NoAnswer,        // a player holds the name but did not answer
};

// Sends the absolute paths to the player holding the bus name, or, with none, asks it to
// raise its window. Waits for its answer a few seconds at most. `refusal` gets the running
// player's words for what it refused.
HandOver handOver(const QDBusConnection& bus, const QStringList& paths, QString* refusal = nullptr);

} // namespace SingleInstance
