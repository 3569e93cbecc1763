#pragma once

#include <QString>
#include <optional>

class QSettings;

// Where the user options live: named 32-bit integers. The program keeps them in the user's
// settings store; tests record what is read and written, and in which order.
struct OptionStore {
    virtual ~OptionStore() = default;
    // The stored integer; none when the value is missing or is not a number.
    virtual std::optional<int> readInt(const QString &name) = 0;
    virtual void writeInt(const QString &name, int value) = 0;
};

// The options in a QSettings store.
class SettingsOptionStore final : public OptionStore {
public:
    explicit SettingsOptionStore(QSettings &store) : m_store(store) {}
    std::optional<int> readInt(const QString &name) override;
    void writeInt(const QString &name, int value) override;

private:
    QSettings &m_store;
};
