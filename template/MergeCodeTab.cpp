#include "template/MergeCodeTab.h"

#include "template/TCodeTab.h"
#include "template/TextLines.h"

namespace {

// As many blanks as the line has leading characters of code 32 or below (a tab counts one).
QString indentationOf(const QString &line)
{
    qsizetype width = 0;
    while (width < line.size() && line[width].unicode() <= 32)
        ++width;
    return QString(width, u' ');
}

void appendStripped(QStringList &to, const QStringList &from)
{
    to.reserve(to.size() + from.size());
    for (const QString &line : from)
        to.append(StripTrailingLineFeed(line));
}

void insertCode(const QStringList &code, QStringList &target, qsizetype lineIndex)
{
    if (code.isEmpty())
        return;
    // Before the first line there is no line to take the indentation from, so none is used;
    // past the last line the code is appended, also without indentation.
    const bool onLine = lineIndex >= 0 && lineIndex < target.size();
    const QString indent = onLine ? indentationOf(target[lineIndex]) : QString();
    const qsizetype at = onLine ? lineIndex + 1 : (lineIndex < 0 ? 0 : target.size());

    // Rebuilt in one pass: inserting line by line into a long program would move its tail
    // once per inserted line.
    QStringList merged;
    merged.reserve(target.size() + code.size());
    for (qsizetype i = 0; i < at; ++i)
        merged.append(target[i]);
    for (const QString &line : code) {
        if (indent.isEmpty()) {
            merged.append(indent + StripTrailingLineFeed(line));
            continue;
        }
        // Built in a block of its exact size: the program keeps every line for the whole run.
        const QString text = StripTrailingLineFeed(line);
        QString indented;
        indented.reserve(indent.size() + text.size());
        indented.append(indent).append(text);
        merged.append(std::move(indented));
    }
    for (qsizetype i = at; i < target.size(); ++i)
        merged.append(target[i]);
    target = std::move(merged);
}

void appendUserInputs(const UserInputList &from, UserInputList &to)
{
    for (const auto &entry : from) {
        UserInputEntry copy;
        copy.value = entry.value.value;
        if (entry.value.record)
            copy.record = std::make_unique<TUserInputType>(*entry.value.record);
        to.add(entry.name, std::move(copy));
    }
}

} // namespace

void MergeCodeTab(const TCodeTab &source, TCodeTab &target, qsizetype lineIndex)
{
    Q_ASSERT(&source != &target); // the lists are read while the target grows
    insertCode(source.reCode, target.reCode, lineIndex);
    appendStripped(target.reGloVar, source.reGloVar);
    appendStripped(target.reRetainVar, source.reRetainVar);
    appendStripped(target.reLocVar, source.reLocVar);
    appendUserInputs(source.InputVariables, target.InputVariables);
    target.IncludeFB.append(source.IncludeFB);
    target.DeleteFolderName.insert(target.DeleteFolderName.end(), source.DeleteFolderName.begin(),
                                   source.DeleteFolderName.end());
}
