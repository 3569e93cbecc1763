#include "app/Settings.h"

#include "app/OptionStore.h"
#include "common/Failure.h"
#include "common/IniDocument.h"
#include "common/LenientInt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

struct StoredFlag {
    const char *name;
    bool Settings::*field;
};

// In the order they are read.
const StoredFlag kReadOrder[] = {
    {"StartStraton", &Settings::StartStraton},
    {"Download", &Settings::Download},
    {"ShowDebug", &Settings::ShowDebug},
    {"DebugGen", &Settings::DebugGen},
    {"ForceVSI", &Settings::ForceVSI},
    {"EmbedSymb", &Settings::EmbedSymb},
    {"DeleteAppliXML", &Settings::DeleteAppliXML},
    {"SaveWindowPosition", &Settings::SaveWindowPosition},
};

// In the order they are written, after the window's placement.
const StoredFlag kWriteOrder[] = {
    {"StartStraton", &Settings::StartStraton},
    {"Download", &Settings::Download},
    {"ShowDebug", &Settings::ShowDebug},
    {"DebugGen", &Settings::DebugGen},
    {"ForceVSI", &Settings::ForceVSI},
    {"EmbedSymb", &Settings::EmbedSymb},
    {"DeleteAppliXML", &Settings::DeleteAppliXML},
};

const QByteArray kHistorySection = "SheetsHistory";
const QByteArray kLastUsedSection = "LastUsed";

QByteArray boxKey(int box)
{
    return "CB" + QByteArray::number(box);
}

// Reads one value; false when it is missing or not a number.
bool readInto(OptionStore &store, const char *name, int &target)
{
    const std::optional<int> value = store.readInt(QLatin1String(name));
    if (!value)
        return false;
    target = *value;
    return true;
}

bool readStoredPlacement(OptionStore &store, QRect &geometry)
{
    int top = 0, left = 0, width = 0, height = 0;
    if (!readInto(store, "Top", top) || !readInto(store, "Left", left) ||
        !readInto(store, "Width", width) || !readInto(store, "Height", height))
        return false;
    geometry = QRect(left, top, width, height);
    return true;
}

} // namespace

bool Settings::loadFixedOptions(OptionStore &store)
{
    for (const StoredFlag &flag : kReadOrder) {
        int value = 0;
        if (!readInto(store, flag.name, value))
            return false;
        this->*flag.field = value != 0;
    }
    if (!SaveWindowPosition) {
        Placement = WindowPlacement::SystemDefault;
        Geometry = QRect(0, 0, kDefaultWidth, kDefaultHeight);
        return true;
    }
    if (!readStoredPlacement(store, Geometry))
        return false;
    Placement = WindowPlacement::Stored;
    return true;
}

bool Settings::loadOptions(OptionStore &store)
{
    const bool complete = loadFixedOptions(store);
    if (int showChanges = 0; readInto(store, "ShowChanges", showChanges))
        ShowChanges = showChanges != 0;
    return complete;
}

void Settings::saveOptions(OptionStore &store) const
{
    store.writeInt(QStringLiteral("SaveWindowPosition"), SaveWindowPosition ? 1 : 0);
    store.writeInt(QStringLiteral("Width"), Geometry.width());
    store.writeInt(QStringLiteral("Height"), Geometry.height());
    if (SaveWindowPosition) {
        store.writeInt(QStringLiteral("Top"), Geometry.top());
        store.writeInt(QStringLiteral("Left"), Geometry.left());
    }
    for (const StoredFlag &flag : kWriteOrder)
        store.writeInt(QLatin1String(flag.name), this->*flag.field ? 1 : 0);
    store.writeInt(QStringLiteral("ShowChanges"), ShowChanges ? 1 : 0);
}

void Settings::loadHistory(const QString &path)
{
    SheetsHistory.clear();
    LastUsed.fill(0);
    Exp = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const IniDocument ini = IniDocument::parse(file.readAll());
    for (const QByteArray &key : ini.keys(kHistorySection))
        SheetsHistory << QString::fromUtf8(ini.value(kHistorySection, key).value_or(""));
    for (int box = 0; box < kWorkbookBoxes; ++box) {
        const auto value = ini.value(kLastUsedSection, boxKey(box));
        LastUsed[box] = value ? readIntOr(QString::fromUtf8(*value), 0) : 0;
    }
    const auto exp = ini.value(kLastUsedSection, "Exp");
    Exp = exp && readIntOr(QString::fromUtf8(*exp), 0) != 0;
}

void Settings::saveHistory(const QString &path) const
{
    IniDocument ini;
    if (QFile file(path); file.open(QIODevice::ReadOnly))
        ini = IniDocument::parse(file.readAll());
    for (const QByteArray &key : ini.keys(kHistorySection))
        ini.removeKey(kHistorySection, key);
    for (qsizetype i = 0; i < SheetsHistory.size(); ++i)
        ini.setValue(kHistorySection, QByteArray::number(i + 1), SheetsHistory[i].toUtf8());
    for (int box = 0; box < kWorkbookBoxes; ++box)
        ini.setValue(kLastUsedSection, boxKey(box), QByteArray::number(LastUsed[box]));
    ini.setValue(kLastUsedSection, "Exp", Exp ? "1" : "0");

    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = ini.toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

BuildSettings Settings::buildSettings() const
{
    BuildSettings build;
    build.DeleteAppliXML = DeleteAppliXML;
    build.DebugGen = DebugGen;
    build.EmbedSymb = EmbedSymb;
    build.ForceVSI = ForceVSI;
    return build;
}

QString Settings::historyFilePath(const QString &executablePath, const QString &configFolder)
{
    const QFileInfo executable(executablePath);
    const QString name = executable.completeBaseName() + QStringLiteral(".ini");
    const QFileInfo folder(executable.path());
    if (folder.isDir() && folder.isWritable())
        return QDir(executable.path()).filePath(name);
    return QDir(configFolder).filePath(name);
}

QString Settings::historyFilePath()
{
    const QString config =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(settingsOrganization());
    return historyFilePath(QCoreApplication::applicationFilePath(), config);
}
