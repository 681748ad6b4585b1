#include "platform/media_reader/media_reader_service.h"

#include "lyric_sources/media_reader_protocol.h"
#include "platform/media_reader/taglib_media_tags.h"

#include <cerrno>
#include <chrono>
#include <exception>
#include <new>
#include <sched.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace MediaReaderService {

namespace {

using namespace MediaReaderProtocol;

// A request is a suffix of a few characters with its marks and lengths.
constexpr qsizetype MaxRequestBytes = 256;

// One request frame and the descriptor that came with it (-1 when none came): false once the
// player has closed its end or sent more than a request can be.
bool receive(int socket, QByteArray& body, int& fd) {
    fd = -1;
    // Awake a while for the player's next request, which often follows at once.
    const auto answered = std::chrono::steady_clock::now();
    QByteArray frame;
    std::optional<quint32> length;
    while (!length || frame.size() < LengthBytes + qsizetype(*length)) {
        char buffer[MaxRequestBytes];
        alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
        iovec part{buffer, sizeof buffer};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const bool awake = std::chrono::steady_clock::now() - answered < AwakeWait;
        const ssize_t got =
            ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC | (awake ? MSG_DONTWAIT : 0));
        if (got < 0 && (errno == EINTR || (awake && errno == EAGAIN))) {
            if (errno == EAGAIN)
                ::sched_yield();
            continue;
        }
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header;
             header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
                continue;
            const auto* passed = reinterpret_cast<const int*>(CMSG_DATA(header));
            const size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            // One descriptor a request; any more are closed unread.
            for (size_t i = 0; i < count; ++i) {
                if (fd < 0)
                    fd = passed[i];
                else
                    ::close(passed[i]);
            }
        }
        if (got <= 0 || frame.size() + got > LengthBytes + MaxRequestBytes) {
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        frame.append(buffer, got);
        if (!length && frame.size() >= LengthBytes) {
            length = frameLength(frame, MaxRequestBytes);
            if (!length) {
                if (fd >= 0)
                    ::close(fd);
                return false;
            }
        }
    }
    body = frame.sliced(LengthBytes);
    return frame.size() == LengthBytes + qsizetype(*length);
}

// The two parts of the frame, the cover's bytes sent from where they are.
bool sendAll(int socket, const AnswerFrame& frame) {
    const QByteArray* parts[] = {&frame.fields, &frame.cover};
    const qsizetype whole = frame.fields.size() + frame.cover.size();
    for (qsizetype sent = 0; sent < whole;) {
        iovec pieces[2];
        size_t count = 0;
        qsizetype skip = sent;
        for (const QByteArray* part : parts) {
            if (skip >= part->size()) {
                skip -= part->size();
                continue;
            }
            pieces[count++] = {const_cast<char*>(part->constData()) + skip,
                               size_t(part->size() - skip)};
            skip = 0;
        }
        msghdr message{};
        message.msg_iov = pieces;
        message.msg_iovlen = count;
        const ssize_t n = ::sendmsg(socket, &message, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

} // namespace

std::optional<AnswerFrame> answer(QByteArrayView request, int fd, bool* spent) {
    *spent = false;
    const std::optional<QString> suffix = requestedSuffix(request);
    struct stat status {};
    if (!suffix || fd < 0 || ::fstat(fd, &status) != 0) {
        if (fd >= 0)
            ::close(fd);
        return std::nullopt;
    }
    // Only a regular file cannot hold a read up.
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return MediaReaderProtocol::answer({});
    }
    try {
        return MediaReaderProtocol::answer(
            {Outcome::Read,
             TagLibMediaTagReader::readOpened(fd, QStringLiteral("file.") + *suffix)});
    } catch (const std::exception&) {
        // Out of memory (or of a size TagLib would not build): the stream that held the
        // descriptor is gone with the unwinding.
        *spent = true;
        return MediaReaderProtocol::answer({Outcome::TooLarge, {}});
    }
}

int serve(int socket) {
    for (;;) {
        QByteArray body;
        int fd = -1;
        if (!receive(socket, body, fd))
            return 0;
        bool spent = false;
        const std::optional<AnswerFrame> reply = answer(body, fd, &spent);
        if (!reply)
            return 1;
        if (!sendAll(socket, *reply))
            return 0;
        if (spent)
            return 3;
    }
}

} // namespace MediaReaderService
