#pragma once

#include "DeviceLink.h"
#include "interfaces/K5mwApi.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace k5mw {

// The library's clients and open projects. The tables are guarded by one lock, which is never
// held while a device is waited for: a slow device stalls only the call that talks to it.
class Server {
public:
    static Server &instance();

    std::uint32_t connect(const K5mwEventSink *sink);
    void disconnect(std::uint32_t client);
    std::uint32_t openProject(std::uint32_t client, const char *address);
    void closeProject(std::uint32_t client, std::uint32_t project);
    std::int32_t execute(std::uint32_t client, std::uint32_t project, const char *command);
    std::int32_t readValue(std::uint32_t client, std::uint32_t project, const char *name,
                           std::string &value);

private:
    struct Client {
        K5mwEventSink sink{};
    };
    struct Project {
        std::uint32_t client = 0;
        std::shared_ptr<DeviceLink> link;
    };

    std::shared_ptr<DeviceLink> link(std::uint32_t client, std::uint32_t project);

    std::mutex m_mutex;
    std::map<std::uint32_t, Client> m_clients;
    std::map<std::uint32_t, Project> m_projects;
    std::uint32_t m_lastHandle = 0; // clients and projects share one count, never reused
};

// How long a device may take to accept a connection or answer a command: 5 s, or the
// K5MW_REPLY_TIMEOUT_MS environment variable (1 to 600000).
int replyTimeoutMs();

} // namespace k5mw
