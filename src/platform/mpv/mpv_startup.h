#pragma once

#include "platform/mpv/mpv_library.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <future>
#include <memory>
#include <vector>

// A running mpv, or why there is none.
struct MpvInstance {
    MpvApi api{};
    mpv_handle* handle = nullptr;
    QString failure;
};

// Loads libmpv and starts one mpv instance with the player's fixed options, on a thread of its
// own: the library and the ~190 behind it take longer to load than the window takes to appear.
// What it made reaches `ready` on the receiver's thread. Destroying the startup before that
// abandons it: whatever the thread still makes is closed by the thread itself.
class MpvStartup {
public:
    MpvStartup(QObject* receiver, std::vector<QByteArray> libraries, QByteArray clientName,
               std::function<void(MpvInstance)> ready);
    // Waits for a startup under way at most MpvTeardownDeadline, then leaves it behind.
    ~MpvStartup();
    MpvStartup(const MpvStartup&) = delete;
    MpvStartup& operator=(const MpvStartup&) = delete;

private:
    // Where the startup and its thread meet; kept alive by whichever of the two is last.
    struct Shared;

    static void run(std::shared_ptr<Shared> shared, QObject* receiver,
                    std::vector<QByteArray> libraries, QByteArray clientName,
                    std::promise<void> finished);

    std::shared_ptr<Shared> shared_;
    std::future<void> finished_;
};
