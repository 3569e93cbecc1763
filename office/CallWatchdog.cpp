#include "office/CallWatchdog.h"

CallWatchdog::CallWatchdog(std::function<void()> onExpiry)
    : m_onExpiry(std::move(onExpiry)), m_thread([this] { watch(); })
{
}

CallWatchdog::~CallWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CallWatchdog::arm(std::chrono::milliseconds limit)
{
    {
        std::lock_guard lock(m_mutex);
        m_deadline = std::chrono::steady_clock::now() + limit;
        m_armed = true;
        m_expired = false;
    }
    m_changed.notify_all();
}

void CallWatchdog::disarm()
{
    std::lock_guard lock(m_mutex);
    m_armed = false;
}

bool CallWatchdog::expired() const
{
    std::lock_guard lock(m_mutex);
    return m_expired;
}

void CallWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_armed) {
            m_changed.wait(lock);
            continue;
        }
        if (m_changed.wait_until(lock, m_deadline) == std::cv_status::timeout && m_armed &&
            std::chrono::steady_clock::now() >= m_deadline) {
            m_armed = false;
            m_expired = true;
            lock.unlock();
            m_onExpiry();
            lock.lock();
        }
    }
}
