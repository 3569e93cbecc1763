#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace k5db {

// A failure inside the library, carrying the status the C entry point returns. Only the
// entry points catch it.
class StoreError : public std::runtime_error {
public:
    StoreError(std::uint32_t status, const std::string &message)
        : std::runtime_error(message), m_status(status)
    {
    }
    std::uint32_t status() const { return m_status; }

private:
    std::uint32_t m_status;
};

} // namespace k5db
