#include "K5mwServer.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

namespace k5mw {

namespace {

constexpr int kDefaultTimeoutMs = 5000;
constexpr int kMaxTimeoutMs = 600000;
constexpr std::string_view kLoadCode = "LoadCode:";

// Reads the application file whole, refusing one that is empty or larger than a device takes.
std::int32_t readApplication(const std::string &path, std::string &bytes)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return K5MW_ERR_FILE;
    const std::streamoff size = file.tellg();
    if (size <= 0 || std::uint64_t(size) > kMaxApplicationSize)
        return K5MW_ERR_FILE;
    bytes.resize(std::size_t(size));
    file.seekg(0);
    if (!file.read(bytes.data(), size))
        return K5MW_ERR_FILE;
    return 0;
}

} // namespace

int replyTimeoutMs()
{
    const char *text = std::getenv("K5MW_REPLY_TIMEOUT_MS");
    if (!text)
        return kDefaultTimeoutMs;
    int value = 0;
    const char *end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || ptr != end || value < 1 || value > kMaxTimeoutMs)
        return kDefaultTimeoutMs;
    return value;
}

Server &Server::instance()
{
    static Server server;
    return server;
}

std::uint32_t Server::connect(const K5mwEventSink *sink)
{
    std::lock_guard lock(m_mutex);
    const std::uint32_t handle = ++m_lastHandle;
    m_clients[handle].sink = sink ? *sink : K5mwEventSink{};
    return handle;
}

void Server::disconnect(std::uint32_t client)
{
    std::vector<std::shared_ptr<DeviceLink>> links;
    {
        std::lock_guard lock(m_mutex);
        if (m_clients.erase(client) == 0)
            return;
        for (auto it = m_projects.begin(); it != m_projects.end();) {
            if (it->second.client == client) {
                links.push_back(it->second.link);
                it = m_projects.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto &link : links)
        link->shutdown();
}

std::uint32_t Server::openProject(std::uint32_t client, const char *address)
{
    const auto parsed = parseDeviceAddress(address);
    if (!parsed)
        return 0;
    K5mwEventSink sink;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_clients.find(client);
        if (it == m_clients.end())
            return 0;
        sink = it->second.sink;
    }
    DeviceLink::EventHandler onEvent;
    if (sink.event) {
        onEvent = [sink](std::uint32_t kind, std::uint32_t value) {
            sink.event(sink.context, kind, value);
        };
    }
    std::shared_ptr<DeviceLink> link = DeviceLink::open(*parsed, onEvent, replyTimeoutMs());
    if (!link)
        return 0;
    std::lock_guard lock(m_mutex);
    // The client may have disconnected while the device was reached.
    if (m_clients.count(client) == 0)
        return 0;
    const std::uint32_t handle = ++m_lastHandle;
    m_projects[handle] = Project{client, std::move(link)};
    return handle;
}

void Server::closeProject(std::uint32_t client, std::uint32_t project)
{
    std::shared_ptr<DeviceLink> closing;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_projects.find(project);
        if (it == m_projects.end() || it->second.client != client)
            return;
        closing = std::move(it->second.link);
        m_projects.erase(it);
    }
    closing->shutdown();
}

std::shared_ptr<DeviceLink> Server::link(std::uint32_t client, std::uint32_t project)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_projects.find(project);
    if (it == m_projects.end() || it->second.client != client)
        return nullptr;
    return it->second.link;
}

std::int32_t Server::execute(std::uint32_t client, std::uint32_t project, const char *command)
{
    const auto device = link(client, project);
    if (!device)
        return K5MW_ERR_ARGUMENT;
    const std::string_view text(command);
    if (text.substr(0, kLoadCode.size()) == kLoadCode) {
        std::string application;
        if (const std::int32_t status =
                readApplication(std::string(text.substr(kLoadCode.size())), application))
            return status;
        return device->request("LoadCode", application);
    }
    if (text.empty() || text.size() > kMaxCommandName)
        return K5MW_ERR_ARGUMENT;
    return device->request(std::string(text), {});
}

std::int32_t Server::readValue(std::uint32_t client, std::uint32_t project, const char *name,
                               std::string &value)
{
    const auto device = link(client, project);
    if (!device)
        return K5MW_ERR_ARGUMENT;
    const std::string_view text(name);
    if (text.empty() || text.size() > kMaxValueSize)
        return K5MW_ERR_ARGUMENT;
    return device->request("Read", std::string(text), &value);
}

} // namespace k5mw
