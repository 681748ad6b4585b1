#include "platform/mpv/mpv_startup.h"

#include "platform/mpv/mpv_properties.h"

#include <QLoggingCategory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

struct MpvStartup::Shared {
    std::mutex mutex;
    // The owner went first: the thread closes whatever it made by itself.
    bool abandoned = false;
    std::function<void(MpvInstance)> ready;
};

namespace {

Q_LOGGING_CATEGORY(lcMpvStartup, "vellora.mpv")

struct OptionValue {
    const char* name;
    const char* value;
};

// Why some of these are set:
// - With mpv's default gapless mode the end of a file is announced while the last ~0.4 s of
//   audio is still queued (a 2 s file "ended" after 1.64 s of playback), and the reported
//   position stops short of the duration. gapless-audio=no makes mpv drain the output first.
// - keep-open then holds the finished file paused at its end instead of unloading it: the end
//   shows as eof-reached after the audio has drained (2.02 s for the same file) with the
//   position at the duration, and play() can rewind the open file instead of reopening it.
// - null is the last audio output so that machines without a sound device still play, in
//   real time and silently; the fallback covers a device that opens but then fails.
// - No subtitle or cover-art auto-loading: an .lrc beside the media would otherwise be
//   loaded as a subtitle, which starts the subtitle renderer and fontconfig.
// - No config files, scripts, key bindings or terminal: the engine must behave the same on
//   every machine whatever the user has configured for the mpv player.
constexpr OptionValue FixedOptions[] = {
    {mpvname::option::Config, "no"},
    {mpvname::option::Terminal, "no"},
    {mpvname::option::InputDefaultBindings, "no"},
    {mpvname::option::InputVoKeyboard, "no"},
    {mpvname::option::LoadScripts, "no"},
    {mpvname::option::Ytdl, "no"},
    {mpvname::option::Osc, "no"},
    {mpvname::option::ResumePlayback, "no"},
    {mpvname::option::Idle, "yes"},
    {mpvname::option::Video, "no"},
    {mpvname::option::AudioDisplay, "no"},
    {mpvname::option::SubtitleAuto, "no"},
    {mpvname::option::AudioFileAuto, "no"},
    {mpvname::option::CoverArtAuto, "no"},
    {mpvname::option::AudioOutput, "pulse,pipewire,alsa,null"},
    {mpvname::option::AudioFallbackToNull, "yes"},
    {mpvname::option::GaplessAudio, "no"},
    {mpvname::option::KeepOpen, "yes"},
    {mpvname::option::VolumeMax, "100"},
    {mpvname::property::Volume, "100"},
};

// Option failures are logged rather than fatal: a name a future libmpv drops should cost
// that one behaviour, not all playback.
void setOption(const MpvApi& mpv, mpv_handle* handle, const char* name, const char* value) {
    const int rc = mpv.mpv_set_option_string(handle, name, value);
    if (rc < 0)
        qCWarning(lcMpvStartup, "option %s=%s rejected: %s", name, value, mpv.mpv_error_string(rc));
}

// Makes and starts the mpv instance; returns why it could not, or nothing.
QString startMpv(const MpvApi& mpv, const QByteArray& clientName, mpv_handle*& handle) {
    handle = mpv.mpv_create();
    if (!handle)
        return QStringLiteral("mpv_create failed");
    for (const auto& option : FixedOptions)
        setOption(mpv, handle, option.name, option.value);
    if (!clientName.isEmpty())
        setOption(mpv, handle, mpvname::option::AudioClientName, clientName.constData());
    const int rc = mpv.mpv_initialize(handle);
    if (rc < 0) {
        mpv.mpv_terminate_destroy(std::exchange(handle, nullptr));
        return QStringLiteral("mpv_initialize: %1")
            .arg(QString::fromUtf8(mpv.mpv_error_string(rc)));
    }
    return {};
}

} // namespace

MpvStartup::MpvStartup(QObject* receiver, std::vector<QByteArray> libraries, QByteArray clientName,
                       std::function<void(MpvInstance)> ready)
    : shared_(std::make_shared<Shared>()) {
    shared_->ready = std::move(ready);
    std::promise<void> finished;
    finished_ = finished.get_future();
    try {
        std::thread(&MpvStartup::run, shared_, receiver, std::move(libraries),
                    std::move(clientName), std::move(finished))
            .detach();
    } catch (const std::system_error&) {
        // No thread to spare: start here, the caller waiting for it.
        std::promise<void> here;
        finished_ = here.get_future();
        run(shared_, receiver, std::move(libraries), std::move(clientName), std::move(here));
    }
}

MpvStartup::~MpvStartup() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->abandoned = true;
    }
    if (finished_.valid() && finished_.wait_for(MpvTeardownDeadline) == std::future_status::timeout)
        qCWarning(lcMpvStartup, "libmpv did not start or close within %lld ms; leaving it behind",
                  static_cast<long long>(MpvTeardownDeadline.count()));
}

namespace {

// What the loading thread made, closed when nobody took it: the owner went first, or its
// receiver went before the hand-over ran.
struct Made {
    MpvInstance instance;
    Made() = default;
    Made(const Made&) = delete;
    Made& operator=(const Made&) = delete;
    ~Made() {
        if (instance.handle)
            terminateMpvWithin(instance.api.mpv_terminate_destroy, instance.handle);
    }
};

} // namespace

// Runs on the loading thread and touches nothing of the owner but what they share; what it
// made reaches the owner through a call queued to the receiver's thread.
void MpvStartup::run(std::shared_ptr<Shared> shared, QObject* receiver,
                     std::vector<QByteArray> libraries, QByteArray clientName,
                     std::promise<void> finished) {
    auto made = std::make_shared<Made>();
    made->instance.failure = loadMpvLibrary(libraries, made->instance.api);
    if (made->instance.failure.isEmpty())
        made->instance.failure = startMpv(made->instance.api, clientName, made->instance.handle);
    {
        // Queued under the lock, which the owner takes to abandon the startup before it goes.
        const std::lock_guard lock(shared->mutex);
        if (!shared->abandoned) {
            QMetaObject::invokeMethod(
                receiver,
                [shared, made] {
                    std::function<void(MpvInstance)> ready;
                    {
                        const std::lock_guard inner(shared->mutex);
                        if (!shared->abandoned)
                            ready = std::exchange(shared->ready, nullptr);
                    }
                    if (ready)
                        ready(std::exchange(made->instance, MpvInstance{}));
                },
                Qt::QueuedConnection);
        }
    }
    made.reset();
    finished.set_value();
}
