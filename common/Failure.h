#pragma once

#include <QString>
#include <stdexcept>

// A failure of an outside component or of the user's input, carrying the message that the
// run phase which catches it turns into one log line. The message names the file and the
// problem where there is one.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
