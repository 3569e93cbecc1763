#include "common/ProjectTextFile.h"

#include "common/Failure.h"
#include "common/Windows1252.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

QString decodeText(const QByteArray &bytes)
{
    if (const auto encoding = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*encoding);
        return decoder(bytes); // the decoder drops the byte-order mark
    }
    return fromWindows1252(bytes);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QByteArray projectFileBytes(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return toWindows1252(text);
}

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(path + QStringLiteral(": ") + file.errorString());
}

void writeProjectTextFile(const QString &path, const QStringList &lines)
{
    writeFileAtomically(path, projectFileBytes(lines));
}

QStringList readProjectTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(path + QStringLiteral(": ") + file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(path + QStringLiteral(": ") + file.errorString());
    return splitLines(decodeText(bytes));
}

QStringList projectTextLines(const QByteArray &bytes)
{
    return splitLines(decodeText(bytes));
}
