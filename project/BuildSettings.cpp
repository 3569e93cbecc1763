#include "project/BuildSettings.h"

#include <QSettings>

namespace {

struct StoredFlag {
    const char *key;
    bool BuildSettings::*field;
};

// In the order the options are stored.
const StoredFlag kFlags[] = {
    {"DebugGen", &BuildSettings::DebugGen},
    {"ForceVSI", &BuildSettings::ForceVSI},
    {"EmbedSymb", &BuildSettings::EmbedSymb},
    {"DeleteAppliXML", &BuildSettings::DeleteAppliXML},
};

} // namespace

BuildSettings BuildSettings::read(const QSettings &store)
{
    BuildSettings settings;
    for (const StoredFlag &flag : kFlags) {
        const QVariant value = store.value(QLatin1String(flag.key));
        bool ok = false;
        const int number = value.toInt(&ok);
        if (value.isValid() && ok)
            settings.*flag.field = number != 0;
    }
    return settings;
}

void BuildSettings::write(QSettings &store) const
{
    for (const StoredFlag &flag : kFlags)
        store.setValue(QLatin1String(flag.key), this->*flag.field ? 1 : 0);
}

QString settingsOrganization()
{
    return QStringLiteral("HalvornControls");
}

QString settingsApplication()
{
    return QStringLiteral("Orvane_Tessily");
}
