#pragma once

#include "K5mwFixture.h"
#include "standins/k5mw/Frame.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

// A loopback port on which nothing listens.
inline int unusedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// Reads one request from a peer, waiting at most the tests' wait limit.
inline std::optional<k5mw::Request> readRequest(int fd, k5mw::FrameReader &reader)
{
    k5mw::Frame frame;
    for (;;) {
        const auto status = reader.next(frame);
        if (status == k5mw::FrameReader::Status::Ready)
            return k5mw::decodeRequest(frame.payload);
        if (status == k5mw::FrameReader::Status::Bad)
            return std::nullopt;
        pollfd wanted{fd, POLLIN, 0};
        char buffer[4096];
        if (poll(&wanted, 1, int(kWaitLimit.count())) != 1)
            return std::nullopt;
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return std::nullopt;
        reader.feed(buffer, std::size_t(got));
    }
}

inline void sendBytes(int fd, const std::string &bytes)
{
    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

// A device of the test's making on a loopback port: it accepts one connection and runs the
// script on it, then closes it.
class FakeDevice {
public:
    using Script = std::function<void(int fd)>;

    explicit FakeDevice(Script script)
    {
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_listen, 1);
        socklen_t length = sizeof address;
        getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, script = std::move(script)] {
            pollfd wanted{m_listen, POLLIN, 0};
            if (poll(&wanted, 1, int(kWaitLimit.count())) != 1)
                return;
            const int fd = accept(m_listen, nullptr, nullptr);
            if (fd < 0)
                return;
            script(fd);
            close(fd);
        });
    }
    ~FakeDevice()
    {
        m_thread.join();
        close(m_listen);
    }
    FakeDevice(const FakeDevice &) = delete;
    FakeDevice &operator=(const FakeDevice &) = delete;

    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    int m_listen = -1;
    int m_port = 0;
    std::thread m_thread;
};

// The answer a device gives to a request.
inline std::string answer(const k5mw::Request &request, std::int32_t status, std::string data = {})
{
    return k5mw::encodeReply(k5mw::Reply{request.sequence, status, std::move(data)});
}
