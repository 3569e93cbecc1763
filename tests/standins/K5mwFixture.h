#pragma once

#include "interfaces/K5mwApi.h"
#include "support/RtuSimProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Every wait in these tests ends after this long, so a fault fails a test instead of hanging.
constexpr std::chrono::milliseconds kWaitLimit{4000};

// Collects the events a client's sink receives on the library's thread.
class EventRecorder {
public:
    using Event = std::pair<unsigned, unsigned>;

    K5mwEventSink sink() { return K5mwEventSink{this, &EventRecorder::receive}; }

    // True once the event (kind, value) has arrived.
    bool waitFor(unsigned kind, unsigned value)
    {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, kWaitLimit, [&] {
            for (const Event &e : m_events) {
                if (e == Event{kind, value})
                    return true;
            }
            return false;
        });
    }
    std::vector<Event> events()
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    // The events of one kind, in arrival order.
    std::vector<unsigned> values(unsigned kind)
    {
        std::vector<unsigned> out;
        for (const Event &e : events()) {
            if (e.first == kind)
                out.push_back(e.second);
        }
        return out;
    }

private:
    static void receive(void *context, unsigned kind, unsigned value)
    {
        auto *self = static_cast<EventRecorder *>(context);
        {
            std::lock_guard lock(self->m_mutex);
            self->m_events.emplace_back(kind, value);
        }
        self->m_arrived.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Event> m_events;
};

// A simulator started with the options of the test, and a client with an open project on it.
class K5mwSession : public ::testing::Test {
protected:
    void start(const QStringList &options = {})
    {
        m_sim = std::make_unique<RtuSimProcess>(options);
        ASSERT_NE(m_sim->port(), 0) << m_sim->error().toStdString();
        const K5mwEventSink sink = events.sink();
        client = K5MW_Connect(&sink, 1124, 0, 0, "test");
        ASSERT_NE(client, 0u);
        project = K5MW_OpenProject(client, "/tmp/", "K5NET5.DLL",
                                   m_sim->address().toLatin1().constData(), 1, 0);
        ASSERT_NE(project, 0u);
    }
    void TearDown() override
    {
        K5MW_CloseProject(client, project);
        K5MW_Disconnect(client);
    }

    // The application status, or -1 when the read fails.
    int status()
    {
        unsigned char buffer[K5MW_VALUE_BUFFER] = {};
        uint32_t size = 0;
        uint32_t reserved = 7;
        if (K5MW_GetBinValue(client, project, "<AppStatus>", 0, buffer, &size, &reserved) != 0 ||
            size != 4 || reserved != 0)
            return -1;
        return int(buffer[0] | buffer[1] << 8 | buffer[2] << 16 | unsigned(buffer[3]) << 24);
    }
    // Reads the status until it is the one wanted, within the wait limit.
    bool waitForStatus(int wanted)
    {
        const auto end = std::chrono::steady_clock::now() + kWaitLimit;
        while (std::chrono::steady_clock::now() < end) {
            if (status() == wanted)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    int32_t execute(const std::string &command)
    {
        return K5MW_Execute(client, project, command.c_str());
    }
    RtuSimProcess &sim() { return *m_sim; }

    EventRecorder events;
    uint32_t client = 0;
    uint32_t project = 0;

private:
    std::unique_ptr<RtuSimProcess> m_sim;
};
