#include "office/OfficeTestSupport.h"

#include "common/Failure.h"

#include "support/OdsTestFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString pipeBase()
{
    return QStringLiteral("tessily-test-%1").arg(QCoreApplication::applicationPid());
}

class SharedOffice final : public ::testing::Environment {
public:
    void SetUp() override
    {
        OfficeBridgeOptions options;
        options.pipeName = pipeBase();
        m_office = std::make_unique<OfficeWorkbooks>(options);
        m_office->Attach(); // nobody listens on pipeBase(): it starts its own
        // the LibreOffice started above listens on the pipe named for this process
        qputenv("TESSILY_OFFICE_PIPE", sharedOfficePipe().toLocal8Bit());
    }
    void TearDown() override { m_office.reset(); }

private:
    std::unique_ptr<OfficeWorkbooks> m_office;
};

[[maybe_unused]] auto *const kSharedOffice = ::testing::AddGlobalTestEnvironment(new SharedOffice);

QByteArray xmlText(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray odsCell(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return "<table:table-cell/>";
    case QMetaType::Bool:
        return QByteArray(
                   "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"") +
               (value.toBool() ? "true" : "false") + "\"/>";
    case QMetaType::Int:
    case QMetaType::Double:
        return "<table:table-cell office:value-type=\"float\" office:value=\"" +
               value.toString().toUtf8() + "\"/>";
    default:
        return "<table:table-cell office:value-type=\"string\"><text:p>" +
               xmlText(value.toString()) + "</text:p></table:table-cell>";
    }
}

} // namespace

QString sharedOfficePipe()
{
    return pipeBase() + QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
}

OfficeBridgeOptions ownOfficeOptions(const QString &tag, int callSeconds)
{
    OfficeBridgeOptions options;
    options.pipeName = pipeBase() + u'-' + tag;
    options.callSeconds = callSeconds;
    return options;
}

QString ownOfficePipe(const QString &tag)
{
    return ownOfficeOptions(tag).pipeName +
           QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
}

QString failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Failure &e) {
        return e.message();
    }
    return QStringLiteral("no failure");
}

qint64 officeListeningOn(const QString &pipe)
{
    const QByteArray wanted = "pipe,name=" + pipe.toLocal8Bit() + ";";
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(wanted))
            return entry.toLongLong();
    }
    return 0;
}

QByteArray odsTable(const QString &name, const SheetRows &rows)
{
    QByteArray xml = "<table:table table:name=\"" + xmlText(name) + "\">";
    for (const auto &row : rows) {
        xml += "<table:table-row>";
        for (const QVariant &value : row)
            xml += odsCell(value);
        xml += "</table:table-row>";
    }
    return xml + "</table:table>";
}

QString writeMacroOds(const QString &path, const QByteArray &tables, const QString &basic)
{
    ZipParts parts = odsParts(tables);
    if (basic.isEmpty()) {
        writeZipPackage(path, parts);
        return path;
    }
    const QByteArray header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const QByteArray library = "xmlns:library=\"http://openoffice.org/2000/library\"";
    parts.push_back({QStringLiteral("Basic/script-lc.xml"),
                     header + "<library:libraries " + library +
                         " xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
                         "<library:library library:name=\"Standard\" library:link=\"false\"/>"
                         "</library:libraries>"});
    parts.push_back({QStringLiteral("Basic/Standard/script-lb.xml"),
                     header + "<library:library " + library +
                         " library:name=\"Standard\" library:readonly=\"false\""
                         " library:passwordprotected=\"false\">"
                         "<library:element library:name=\"Module1\"/></library:library>"});
    parts.push_back({QStringLiteral("Basic/Standard/Module1.xml"),
                     header +
                         "<script:module xmlns:script=\"http://openoffice.org/2000/script\""
                         " script:name=\"Module1\" script:language=\"StarBasic\">" +
                         xmlText(basic) + "</script:module>"});
    // the manifest names every part of the package
    QByteArray &manifest = parts[1].second;
    QByteArray entries;
    for (const char *part :
         {"Basic/script-lc.xml", "Basic/Standard/script-lb.xml", "Basic/Standard/Module1.xml"})
        entries += QByteArray("<manifest:file-entry manifest:full-path=\"") + part +
                   "\" manifest:media-type=\"text/xml\"/>";
    manifest.replace("</manifest:manifest>", entries + "</manifest:manifest>");
    writeZipPackage(path, parts);
    return path;
}
