#include "DeviceLink.h"

#include "interfaces/K5mwApi.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace k5mw {

namespace {

struct CloseAddressInfo {
    void operator()(addrinfo *info) const { freeaddrinfo(info); }
};

// Waits for a non-blocking connect to finish; true when it succeeded in time.
bool finishConnect(int fd, int timeoutMs)
{
    pollfd wanted{fd, POLLOUT, 0};
    if (poll(&wanted, 1, timeoutMs) != 1)
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

int connectTo(const DeviceAddress &address, int timeoutMs)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const std::string port = std::to_string(address.port);
    if (getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found) != 0)
        return -1;
    const std::unique_ptr<addrinfo, CloseAddressInfo> owner(found);
    for (const addrinfo *candidate = found; candidate; candidate = candidate->ai_next) {
        const int fd = socket(candidate->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK,
                              candidate->ai_protocol);
        if (fd < 0)
            continue;
        const bool connected = ::connect(fd, candidate->ai_addr, candidate->ai_addrlen) == 0 ||
                               (errno == EINPROGRESS && finishConnect(fd, timeoutMs));
        if (connected) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) & ~O_NONBLOCK);
            return fd;
        }
        close(fd);
    }
    return -1;
}

// Sends every byte, each wait for room bounded, so a device that stops reading cannot hold
// the caller.
bool sendAll(int fd, const std::string &bytes, int timeoutMs)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        pollfd wanted{fd, POLLOUT, 0};
        if (poll(&wanted, 1, timeoutMs) != 1 || (wanted.revents & (POLLERR | POLLHUP)))
            return false;
        const ssize_t n =
            ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (n > 0)
            sent += std::size_t(n);
    }
    return true;
}

} // namespace

std::unique_ptr<DeviceLink> DeviceLink::open(const DeviceAddress &address, EventHandler onEvent,
                                             int timeoutMs)
{
    const int fd = connectTo(address, timeoutMs);
    if (fd < 0)
        return nullptr;
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    std::unique_ptr<DeviceLink> link(new DeviceLink(fd, std::move(onEvent), timeoutMs));
    // Anything listening on the port may accept the connection; only a device answers this.
    if (link->request("Hello", "K5MW") != 0)
        return nullptr;
    return link;
}

DeviceLink::DeviceLink(int fd, EventHandler onEvent, int timeoutMs)
    : m_fd(fd), m_onEvent(std::move(onEvent)), m_timeoutMs(timeoutMs),
      m_reader([this] { readLoop(); })
{
}

DeviceLink::~DeviceLink()
{
    shutdown();
    close(m_fd);
}

void DeviceLink::shutdown()
{
    {
        std::lock_guard lock(m_mutex);
        m_shutDown = true;
        m_broken = true;
    }
    m_answered.notify_all();
    ::shutdown(m_fd, SHUT_RDWR);
    if (m_reader.joinable() && m_reader.get_id() != std::this_thread::get_id())
        m_reader.join();
}

std::int32_t DeviceLink::request(const std::string &command, const std::string &data,
                                 std::string *value)
{
    std::lock_guard one(m_requestMutex);
    Request request;
    {
        std::lock_guard lock(m_mutex);
        if (m_broken)
            return K5MW_ERR_LINK;
        request.sequence = ++m_sequence;
        m_reply.reset();
    }
    request.command = command;
    request.data = data;
    if (!sendAll(m_fd, encodeRequest(request), m_timeoutMs)) {
        markBroken();
        return K5MW_ERR_LINK;
    }
    std::unique_lock lock(m_mutex);
    const bool answered = m_answered.wait_for(lock, std::chrono::milliseconds(m_timeoutMs), [&] {
        return m_broken || (m_reply && m_reply->sequence == request.sequence);
    });
    if (m_reply && m_reply->sequence == request.sequence) {
        if (value)
            *value = m_reply->data;
        return m_reply->status;
    }
    return answered ? K5MW_ERR_LINK : K5MW_ERR_TIMEOUT;
}

void DeviceLink::readLoop()
{
    FrameReader reader;
    Frame frame;
    char buffer[16 * 1024];
    for (;;) {
        const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        reader.feed(buffer, std::size_t(got));
        FrameReader::Status status;
        while ((status = reader.next(frame)) == FrameReader::Status::Ready)
            dispatch(frame);
        if (status == FrameReader::Status::Bad)
            break;
    }
    markBroken();
}

void DeviceLink::dispatch(const Frame &frame)
{
    if (frame.kind == FrameKind::Event) {
        const auto event = decodeEvent(frame.payload);
        bool deliver = false;
        {
            std::lock_guard lock(m_mutex);
            deliver = !m_shutDown;
        }
        if (event && deliver && m_onEvent)
            m_onEvent(event->kind, event->value);
        return;
    }
    if (frame.kind != FrameKind::Reply)
        return;
    if (auto reply = decodeReply(frame.payload)) {
        std::lock_guard lock(m_mutex);
        if (reply->sequence == m_sequence)
            m_reply = std::move(reply);
    }
    m_answered.notify_all();
}

void DeviceLink::markBroken()
{
    {
        std::lock_guard lock(m_mutex);
        m_broken = true;
    }
    m_answered.notify_all();
    // Wakes the reader when a send failed while it still waits for bytes.
    ::shutdown(m_fd, SHUT_RDWR);
}

} // namespace k5mw
