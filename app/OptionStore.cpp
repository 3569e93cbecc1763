#include "app/OptionStore.h"

#include "common/LenientInt.h"

#include <QSettings>

std::optional<int> SettingsOptionStore::readInt(const QString &name)
{
    const QVariant value = m_store.value(name);
    if (!value.isValid())
        return std::nullopt;
    // A value written by this program reads back as text from the settings file.
    return tryReadInt(value.toString());
}

void SettingsOptionStore::writeInt(const QString &name, int value)
{
    m_store.setValue(name, value);
}
