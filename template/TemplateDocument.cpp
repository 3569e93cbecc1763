#include "template/TemplateDocument.h"

#include "common/Failure.h"
#include "common/Windows1252.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

bool hasByteOrderMark(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

// The XML parser reads Windows-1252 only when Qt was built with ICU; the template is then
// decoded here and handed on as UTF-8 with its declaration changed to match.
QByteArray withoutWindows1252(const QByteArray &bytes)
{
    if (hasByteOrderMark(bytes))
        return bytes;
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\s*<\?xml[^>]*?encoding\s*=\s*["']((?:windows-|x-cp|cp)1252)["'])"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(256));
    const QRegularExpressionMatch match = declaration.match(head);
    if (!match.hasMatch())
        return bytes;
    QString text = fromWindows1252(bytes);
    text.replace(match.capturedStart(1), match.capturedLength(1), QStringLiteral("UTF-8"));
    return text.toUtf8();
}

void refuseDeepNesting(const QByteArray &bytes, const QString &origin)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    // Each token consumes input, so the loop ends with the text; a malformed text stops it
    // early and the document parse reports the error.
    while (!reader.atEnd() && !reader.hasError()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxTemplateDepth)
            throw TemplateSyntaxError(
                QStringLiteral("%1: elements nested deeper than %2 levels (line %3)")
                    .arg(origin)
                    .arg(kMaxTemplateDepth)
                    .arg(reader.lineNumber()),
                QStringLiteral("elements nested deeper than %1 levels").arg(kMaxTemplateDepth),
                int(reader.lineNumber()), 0);
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
}

} // namespace

QDomDocument ParseTemplateDocument(const QByteArray &bytes, const QString &origin)
{
    const QByteArray content = withoutWindows1252(bytes);
    refuseDeepNesting(content, origin);
    QDomDocument document;
    QString error;
    int line = 0;
    int column = 0;
    if (!document.setContent(content, &error, &line, &column))
        throw TemplateSyntaxError(
            QStringLiteral("%1: %2 (line %3, column %4)").arg(origin, error).arg(line).arg(column),
            error, line, column);
    return document;
}

QDomDocument LoadTemplateDocument(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(path + QStringLiteral(": ") + file.errorString());
    if (file.size() > kMaxTemplateBytes)
        throw Failure(QStringLiteral("%1: the file is larger than %2 MB")
                          .arg(path)
                          .arg(kMaxTemplateBytes / (1024 * 1024)));
    // Read what the file says it holds, then in small pieces whatever more comes (a file that
    // grew, or a device without a size): never a buffer of the whole bound up front.
    QByteArray bytes = file.size() > 0 ? file.read(file.size() + 1) : QByteArray();
    for (QByteArray more; bytes.size() <= kMaxTemplateBytes; bytes += more) {
        more = file.read(64 * 1024);
        if (more.isEmpty())
            break;
    }
    if (file.error() != QFileDevice::NoError)
        throw Failure(path + QStringLiteral(": ") + file.errorString());
    if (bytes.size() > kMaxTemplateBytes) // a file that grew, or a device without a size
        throw Failure(QStringLiteral("%1: the file is larger than %2 MB")
                          .arg(path)
                          .arg(kMaxTemplateBytes / (1024 * 1024)));
    return ParseTemplateDocument(bytes, path);
}
