#include "platform/mpv/mpv_library.h"

#include <QFile>
#include <QLoggingCategory>
#include <dlfcn.h>
#include <future>
#include <system_error>
#include <thread>

namespace {

Q_LOGGING_CATEGORY(lcMpvLibrary, "vellora.mpv")

template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// The first function missing from the library, or null.
const char* resolveAll(void* library, MpvApi& api) {
#define VELLORA_RESOLVE(function)                                                                  \
    if (!resolve(library, #function, api.function))                                                \
        return #function;
    VELLORA_RESOLVE(mpv_client_api_version)
    VELLORA_RESOLVE(mpv_error_string)
    VELLORA_RESOLVE(mpv_create)
    VELLORA_RESOLVE(mpv_set_option_string)
    VELLORA_RESOLVE(mpv_initialize)
    VELLORA_RESOLVE(mpv_observe_property)
    VELLORA_RESOLVE(mpv_unobserve_property)
    VELLORA_RESOLVE(mpv_set_wakeup_callback)
    VELLORA_RESOLVE(mpv_wait_event)
    VELLORA_RESOLVE(mpv_get_property)
    VELLORA_RESOLVE(mpv_set_property)
    VELLORA_RESOLVE(mpv_command)
    VELLORA_RESOLVE(mpv_command_ret)
    VELLORA_RESOLVE(mpv_free_node_contents)
    VELLORA_RESOLVE(mpv_terminate_destroy)
#undef VELLORA_RESOLVE
    return nullptr;
}

} // namespace

// The soname that goes with the headers' client API version, found as the dynamic loader finds
// any library; then the same file where pkg-config placed libmpv at build time, for one
// installed outside the loader's search path.
std::vector<QByteArray> defaultMpvLibraries() {
    const QByteArray soname = "libmpv.so." + QByteArray::number(MPV_CLIENT_API_VERSION >> 16);
    return {soname, QByteArrayLiteral(VELLORA_MPV_LIBDIR "/") + soname};
}

// Loads the first of `libraries` that the loader finds. The library is never unloaded: a
// teardown left behind at its deadline may still be running in it when the program ends.
// Returns why it cannot be used, or nothing.
QString loadMpvLibrary(const std::vector<QByteArray>& libraries, MpvApi& api) {
    QString failure;
    void* library = nullptr;
    QByteArray loaded;
    for (const QByteArray& name : libraries) {
        // Local, so that nothing of what libmpv brings along takes the place of a symbol the
        // program or Qt already uses. Lazy, as the program was bound when it was linked
        // against libmpv: binding everything at once costs a sixth more (82 ms of processor
        // time against 70 for the ~190 libraries).
        library = dlopen(name.constData(), RTLD_LAZY | RTLD_LOCAL);
        if (library) {
            loaded = name;
            break;
        }
        if (failure.isEmpty())
            failure = QString::fromLocal8Bit(dlerror());
    }
    if (!library)
        return failure;
    if (const char* missing = resolveAll(library, api))
        return QStringLiteral("%1 has no %2")
            .arg(QFile::decodeName(loaded), QLatin1StringView(missing));
    const unsigned long version = api.mpv_client_api_version();
    if (version >> 16 != MPV_CLIENT_API_VERSION >> 16 || version < OldestClientApi)
        return QStringLiteral("libmpv client API %1.%2 is not the %3.x this program was built for")
            .arg(version >> 16)
            .arg(version & 0xffff)
            .arg(MPV_CLIENT_API_VERSION >> 16);
    return {};
}

// mpv_terminate_destroy joins mpv's threads. mpv breaks off its reads of pipes and devices,
// but one caught in a read of a regular file that never returns (on a hung network mount,
// say) would keep the program from ending. So it runs on a thread of its own, waited for
// only until the deadline and then left behind. The thread owns nothing but the handle, which
// no one else holds any longer, and the promise whose shared state outlives this frame. A
// thread left behind is ended with the process.
void terminateMpvWithin(decltype(&::mpv_terminate_destroy) terminate, mpv_handle* handle) {
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    try {
        std::thread([terminate, handle, finished = std::move(finished)]() mutable {
            terminate(handle);
            finished.set_value();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: close here, unbounded, rather than not at all.
        terminate(handle);
        return;
    }
    if (done.wait_for(MpvTeardownDeadline) == std::future_status::timeout)
        qCWarning(lcMpvLibrary, "libmpv did not close within %lld ms; leaving it behind",
                  static_cast<long long>(MpvTeardownDeadline.count()));
}
