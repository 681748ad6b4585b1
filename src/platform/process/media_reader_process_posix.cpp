#include "platform/process/media_reader_process.h"

#include "lyric_sources/media_reader_protocol.h"
#include "platform/process/program_files.h"

#include <QFile>
#include <QSet>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace MediaReaderProtocol;

// A file by its device and inode: the same file under another name is the same file.
using FileKey = QPair<quint64, quint64>;

} // namespace

struct MediaReaderProcess::State {
    Options options;
    std::mutex lock;
    pid_t pid = 0;
    int socket = -1;
    QSet<FileKey> spent; // the files that ended a reader
    bool toldUnavailable = false;

    bool start();
    // Ends the reader (kill: at once, else once it has read its socket's end) and returns how
    // it ended, as waitpid tells.
    int stop(bool kill);
    bool send(int fd, const QString& path);
    // The answer's body; none once the reader has ended, or was ended for being late or for
    // saying what is no answer (why says which).
    std::optional<QByteArray> receive(QString* why);
    void unreadable(const FileKey& key, const QString& path, const QString& why);
};

// The reader's descriptor was checked before it runs: it is run through that descriptor.
bool MediaReaderProcess::State::start() {
    const ProgramFiles::Opened program =
        options.program.isEmpty() ? ProgramFiles::find(QStringLiteral(VELLORA_MEDIA_READER_FILE))
                                  : ProgramFiles::open(options.program);
    int pair[2];
    if (program.fd < 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        if (!std::exchange(toldUnavailable, true))
            std::fprintf(stderr, "vellora: 不读取标签 no tags are read: %s\n",
                         qUtf8Printable(program.fd < 0
                                            ? program.refusal
                                            : QString::fromLocal8Bit(std::strerror(errno))));
        if (program.fd >= 0)
            ::close(program.fd);
        return false;
    }
    // Made before the fork: the child may only call what is safe between fork and exec.
    QByteArray name = "vellora-media-reader";
    QByteArray parent = QByteArray::number(::getpid());
    char* arguments[] = {name.data(), parent.data(), nullptr};
    const pid_t child = ::fork();
    if (child == 0) {
        // A player started without standard input may have been given it as this end.
        if (pair[1] == STDIN_FILENO)
            ::fcntl(STDIN_FILENO, F_SETFD, 0);
        else
            ::dup2(pair[1], STDIN_FILENO);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::fexecve(program.fd, arguments, environ);
        ::_exit(127);
    }
    ::close(pair[1]);
    ::close(program.fd);
    if (child < 0) {
        ::close(pair[0]);
        return false;
    }
    pid = child;
    socket = pair[0];
    return true;
}

int MediaReaderProcess::State::stop(bool kill) {
    if (pid == 0)
        return 0;
    if (kill)
        ::kill(pid, SIGKILL);
    ::close(socket);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = 0;
    socket = -1;
    return status;
}

bool MediaReaderProcess::State::send(int fd, const QString& path) {
    const QByteArray frame = request(path);
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    iovec part{const_cast<char*>(frame.constData()), size_t(frame.size())};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &fd, sizeof(int));
    ssize_t sent;
    do
        sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    // A request is far smaller than the socket's buffer: it goes whole or not at all.
    return sent == frame.size();
}

std::optional<QByteArray> MediaReaderProcess::State::receive(QString* why) {
    const Clock::time_point deadline = Clock::now() + options.answerTime;
    // Awake since the request went or the last bytes came.
    Clock::time_point heard = Clock::now();
    QByteArray frame(LengthBytes, '\0');
    qsizetype filled = 0;
    std::optional<quint32> length;
    while (!length || filled < LengthBytes + qsizetype(*length)) {
        // Room for the rest of the frame, a few MiB at a time: a length announced and never
        // sent costs nothing.
        if (length && frame.size() == filled)
            frame.resize(qMin(LengthBytes + qsizetype(*length), filled + (qsizetype(4) << 20)));
        const ssize_t got =
            ::recv(socket, frame.data() + filled, size_t(frame.size() - filled), MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (Clock::now() - heard < AwakeWait) {
                ::sched_yield();
                continue;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd ready{socket, POLLIN, 0};
            if (left.count() > 0 && ::poll(&ready, 1, int(left.count())) != 0)
                continue;
            *why = QStringLiteral("the reader gave no answer within %1 s")
                       .arg(double(options.answerTime.count()) / 1000);
            stop(true);
            return std::nullopt;
        }
        if (got <= 0) {
            const int status = stop(false);
            *why = WIFSIGNALED(status)
                       ? QStringLiteral("the reader was ended by signal %1").arg(WTERMSIG(status))
                       : QStringLiteral("the reader ended with status %1").arg(WEXITSTATUS(status));
            return std::nullopt;
        }
        filled += got;
        heard = Clock::now();
        if (!length && filled == LengthBytes) {
            length = frameLength(frame);
            if (!length) {
                *why = QStringLiteral("the reader's answer was longer than any can be");
                stop(true);
                return std::nullopt;
            }
        }
    }
    // The body, without a copy: the length is taken off its front.
    frame.remove(0, LengthBytes);
    return frame;
}

void MediaReaderProcess::State::unreadable(const FileKey& key, const QString& path,
                                           const QString& why) {
    spent.insert(key);
    std::fprintf(stderr, "vellora: 无法读取标签 the tags of %s cannot be read: %s\n",
                 qUtf8Printable(path), qUtf8Printable(why));
}

MediaReaderProcess::MediaReaderProcess() : MediaReaderProcess(Options{}) {}

MediaReaderProcess::MediaReaderProcess(Options options) : state_(std::make_unique<State>()) {
    state_->options = std::move(options);
}

MediaReaderProcess::~MediaReaderProcess() {
    state_->stop(true);
}

MediaTags MediaReaderProcess::read(const QString& path) const {
    // Only a regular file cannot hold the reader up; it is opened here, and the reader reads
    // through this descriptor only.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {};
    }
    const FileKey key(quint64(status.st_dev), quint64(status.st_ino));
    State& state = *state_;
    const std::lock_guard hold(state.lock);
    std::optional<QByteArray> body;
    QString why;
    if (!state.spent.contains(key)) {
        // A reader that ended while idle (its memory taken by the system, say) is started
        // again once.
        bool sent = (state.pid != 0 || state.start()) && state.send(fd, path);
        if (!sent && state.pid != 0) {
            state.stop(true);
            sent = state.start() && state.send(fd, path);
        }
        if (sent)
            body = state.receive(&why);
    }
    ::close(fd);
    if (!body) {
        if (!why.isEmpty())
            state.unreadable(key, path, why);
        return {};
    }
    const std::optional<Answer> answer = parseAnswer(std::move(*body));
    if (!answer) {
        state.stop(true);
        state.unreadable(key, path, QStringLiteral("the reader's answer was no answer"));
        return {};
    }
    if (answer->outcome == Outcome::TooLarge) {
        state.stop(false);
        state.unreadable(key, path,
                         QStringLiteral("reading it needs more memory than the reader may take"));
        return {};
    }
    return answer->tags;
}
