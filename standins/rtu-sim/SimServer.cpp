#include "SimServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace rtusim {

namespace {

// Reads at most this much per wake-up, so one fast sender cannot starve the others.
constexpr std::size_t kReadChunk = 64 * 1024;
// More clients than a download ever opens; beyond it new ones are turned away.
constexpr std::size_t kMaxConnections = 64;

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void setNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
}

std::string systemError(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

} // namespace

SimServer::SimServer(SimOptions options) : m_options(std::move(options)), m_device(m_options.device)
{
}

SimServer::~SimServer()
{
    for (const Connection &connection : m_connections)
        close(connection.fd);
    if (m_listenFd >= 0)
        close(m_listenFd);
}

int SimServer::listen()
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(m_options.port));
    if (inet_pton(AF_INET, m_options.bindAddress.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("not an IPv4 address: " + m_options.bindAddress);
    m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        throw std::runtime_error(systemError("socket"));
    const int yes = 1;
    setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    const std::string where = m_options.bindAddress + ":" + std::to_string(m_options.port);
    if (bind(m_listenFd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        throw std::runtime_error(systemError("cannot listen on " + where));
    if (::listen(m_listenFd, 16) != 0)
        throw std::runtime_error(systemError("cannot listen on " + where));
    setNonBlocking(m_listenFd);
    socklen_t length = sizeof address;
    getsockname(m_listenFd, reinterpret_cast<sockaddr *>(&address), &length);
    return ntohs(address.sin_port);
}

void SimServer::run()
{
    std::vector<pollfd> fds;
    for (;;) {
        const std::int64_t now = nowMs();
        broadcastDueEvents(now);
        for (Connection &connection : m_connections)
            flush(connection, now);
        m_connections.remove_if([](const Connection &c) {
            if (c.closing && c.outgoing.empty())
                close(c.fd);
            return c.closing && c.outgoing.empty();
        });

        fds.assign(1, pollfd{m_listenFd, POLLIN, 0});
        for (const Connection &connection : m_connections) {
            const short wanted = short((connection.closing ? 0 : POLLIN) |
                                       (connection.outgoing.empty() ? 0 : POLLOUT));
            fds.push_back(pollfd{connection.fd, wanted, 0});
        }
        if (poll(fds.data(), fds.size(), pollTimeout(now)) < 0 && errno != EINTR)
            throw std::runtime_error(systemError("poll"));

        const std::int64_t woke = nowMs();
        std::size_t index = 1;
        for (Connection &connection : m_connections) {
            const short events = fds[index++].revents;
            if (events & (POLLERR | POLLHUP | POLLNVAL)) {
                connection.closing = true;
                connection.outgoing.clear();
            } else if (events & POLLIN) {
                receive(connection, woke);
            }
            if (!connection.closing && connection.frameStartedMs >= 0 &&
                woke - connection.frameStartedMs > m_options.frameTimeoutMs) {
                log("peer stopped in the middle of a frame; connection dropped");
                connection.closing = true;
                connection.outgoing.clear();
            }
        }
        if (fds[0].revents & POLLIN)
            accept(woke);
    }
}

void SimServer::accept(std::int64_t)
{
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    if (m_connections.size() >= kMaxConnections) {
        close(fd);
        return;
    }
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    Connection &connection = m_connections.emplace_back();
    connection.fd = fd;
    log("client connected");
}

void SimServer::receive(Connection &connection, std::int64_t now)
{
    char buffer[kReadChunk];
    const ssize_t got = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (got <= 0) {
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            log("client disconnected");
            connection.closing = true;
            connection.outgoing.clear();
        }
        return;
    }
    connection.reader.feed(buffer, std::size_t(got));
    k5mw::Frame frame;
    for (;;) {
        const auto status = connection.reader.next(frame);
        if (status == k5mw::FrameReader::Status::NeedMore)
            break;
        if (status == k5mw::FrameReader::Status::Bad) {
            log("bad frame; connection dropped");
            connection.closing = true;
            connection.outgoing.clear();
            return;
        }
        ++connection.framesReceived;
        if (m_options.dropAfter > 0 && connection.framesReceived >= m_options.dropAfter) {
            log("dropping the connection after " + std::to_string(connection.framesReceived) +
                " frames");
            connection.closing = true;
            connection.outgoing.clear();
            connection.pending.clear();
            return;
        }
        answer(connection, frame, now);
        if (connection.closing)
            return;
    }
    connection.frameStartedMs =
        connection.reader.inFrame()
            ? (connection.frameStartedMs < 0 ? now : connection.frameStartedMs)
            : -1;
}

void SimServer::answer(Connection &connection, const k5mw::Frame &frame, std::int64_t now)
{
    const auto request =
        frame.kind == k5mw::FrameKind::Request ? k5mw::decodeRequest(frame.payload) : std::nullopt;
    if (!request) {
        log("frame is not a request; connection dropped");
        connection.closing = true;
        connection.outgoing.clear();
        return;
    }
    const std::int64_t due = now + m_options.delayMs;
    const k5mw::Reply reply = m_device.handle(*request, due);
    if (request->command != "Read")
        log(request->command + " -> " + std::to_string(reply.status));
    queue(connection, due, k5mw::encodeReply(reply));
}

void SimServer::queue(Connection &connection, std::int64_t dueMs, std::string bytes)
{
    auto it = connection.pending.end();
    while (it != connection.pending.begin() && std::prev(it)->dueMs > dueMs)
        --it;
    connection.pending.insert(it, Pending{dueMs, std::move(bytes)});
}

void SimServer::broadcastDueEvents(std::int64_t now)
{
    for (const k5mw::Event &event : m_device.takeDue(now)) {
        for (Connection &connection : m_connections) {
            if (!connection.closing)
                queue(connection, now, k5mw::encodeEvent(event));
        }
    }
}

void SimServer::flush(Connection &connection, std::int64_t now)
{
    while (!connection.pending.empty() && connection.pending.front().dueMs <= now) {
        connection.outgoing += connection.pending.front().bytes;
        connection.pending.pop_front();
    }
    if (connection.outgoing.empty())
        return;
    const ssize_t sent =
        ::send(connection.fd, connection.outgoing.data(), connection.outgoing.size(), MSG_NOSIGNAL);
    if (sent > 0) {
        connection.outgoing.erase(0, std::size_t(sent));
    } else if (sent < 0 && errno != EAGAIN && errno != EINTR) {
        connection.closing = true;
        connection.outgoing.clear();
    }
}

int SimServer::pollTimeout(std::int64_t now) const
{
    std::int64_t wake = now + 1000;
    if (const auto due = m_device.nextDue())
        wake = std::min(wake, *due);
    for (const Connection &connection : m_connections) {
        if (!connection.pending.empty())
            wake = std::min(wake, connection.pending.front().dueMs);
        if (connection.frameStartedMs >= 0)
            wake = std::min(wake, connection.frameStartedMs + m_options.frameTimeoutMs + 1);
    }
    return int(std::max<std::int64_t>(0, wake - now));
}

void SimServer::log(const std::string &text) const
{
    if (!m_options.quiet)
        std::fprintf(stderr, "orvane-rtu-sim: %s\n", text.c_str());
}

} // namespace rtusim
