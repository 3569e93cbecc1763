#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

struct TIncludeOption {
    QString Option; // the whole condition, name=value
    QString OptVar; // before the first '='
    QString OptVal; // after it
};

// An option variant of a signal type.
class TSignalTypeSubTab {
public:
    explicit TSignalTypeSubTab(const QString &name) : name(name) {}

    QString name; // the caption of its page
    QStringList reCode;
    QString Option;   // empty for a variant without option
    QString Template; // function-block template a variant with option is collected into
    QString InitCode; // as read; nothing uses it later
    QString MainIncludeOption;
    std::array<TIncludeOption, 2> SignTypIncludeOpt;
};

// A signal type: its variables and function blocks, and its option variants in the order
// they were added. It owns its variants.
class TSignalTypeTab {
public:
    explicit TSignalTypeTab(const QString &name = QString()) : name(name) {}

    // Empties IncludeFB only.
    void Clear() { IncludeFB.clear(); }
    // An IncludeFB element's comma list replaces the earlier one, sorted without regard to
    // case; a name already there (in any case) is dropped.
    void setIncludeFB(const QString &commaText);
    // Appends a new, empty variant named `Name` and returns it.
    TSignalTypeSubTab *NewTab(const QString &Name)
    {
        PC.push_back(std::make_unique<TSignalTypeSubTab>(Name));
        return PC.back().get();
    }

    QString name;
    std::vector<std::unique_ptr<TSignalTypeSubTab>> PC;
    QStringList reGloVar;
    QStringList reRetainVar;
    QStringList reLocVar;
    QStringList IncludeFB; // sorted, case-insensitive, no repeats
};
