#include "support/OdsTestFile.h"

#include <QFile>
#include <gtest/gtest.h>
#include <string>
#include <zip.h>

void writeZipPackage(const QString &path, const ZipParts &parts)
{
    int code = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr) << "cannot create " << path.toStdString();
    for (const auto &[name, bytes] : parts) {
        // libzip reads the buffer when the archive is closed; `parts` outlives that.
        zip_source_t *source =
            zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        ASSERT_NE(source, nullptr);
        const zip_int64_t index =
            zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(zip);
            FAIL() << "cannot add " << name.toStdString();
        }
        if (name == QLatin1String("mimetype"))
            zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(zip) != 0) {
        const std::string error = zip_strerror(zip);
        zip_discard(zip);
        FAIL() << "cannot write " << path.toStdString() << ": " << error;
    }
}

QByteArray odsContent(const QByteArray &tables)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<office:document-content"
                      " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
                      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
                      " xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:"
                      "calcext:1.0\""
                      " office:version=\"1.3\"><office:body><office:spreadsheet>") +
           tables + "</office:spreadsheet></office:body></office:document-content>";
}

ZipParts odsParts(const QByteArray &tables)
{
    const QByteArray manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest"
        " xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
        " manifest:version=\"1.3\">"
        "<manifest:file-entry manifest:full-path=\"/\""
        " manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "</manifest:manifest>";
    return {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
            {QStringLiteral("META-INF/manifest.xml"), manifest},
            {QStringLiteral("content.xml"), odsContent(tables)}};
}

QString writeOdsFile(const QString &path, const QByteArray &tables)
{
    writeZipPackage(path, odsParts(tables));
    return path;
}
