#include "support/ZipPackage.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>
#include <zip.h>

namespace {

struct DiscardZip {
    void operator()(zip_t *z) const { zip_discard(z); }
};

// Hands libzip `left` zero bytes without ever holding them in memory.
struct ZeroSource {
    qint64 size = 0;
    qint64 left = 0;
};

zip_int64_t zeroSource(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *zeros = static_cast<ZeroSource *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        zeros->left = zeros->size;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = std::min<qint64>(zeros->left, qint64(length));
        std::memset(data, 0, std::size_t(n));
        zeros->left -= n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto *stat = static_cast<zip_stat_t *>(data);
        zip_stat_init(stat);
        stat->size = zip_uint64_t(zeros->size);
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_FREE:
        delete zeros;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}

quint16 readLe16(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint16(u[0] | u[1] << 8);
}

void writeLe32(char *p, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((value >> (8 * i)) & 0xff);
}

} // namespace

void writeZipPackage(const QString &path, const std::vector<PackagePart> &parts,
                     PartEncryption encryption)
{
    int code = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr) << "zip_open failed with " << code;
    for (const PackagePart &part : parts) {
        zip_source_t *source =
            part.zeros ? zip_source_function(zip, zeroSource, new ZeroSource{part.zeros, 0})
                       : zip_source_buffer(zip, part.bytes.constData(),
                                           zip_uint64_t(part.bytes.size()), 0);
        ASSERT_NE(source, nullptr);
        const zip_int64_t index =
            zip_file_add(zip, part.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(zip);
            FAIL() << "zip_file_add failed for " << part.name.toStdString();
        }
        if (part.zeros) // the fastest level: a test need not wait for the best one
            zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
        if (encryption == PartEncryption::Password) {
            ASSERT_EQ(
                zip_file_set_encryption(zip, zip_uint64_t(index), ZIP_EM_TRAD_PKWARE, "secret"), 0)
                << zip_strerror(zip);
        }
    }
    // The buffers are read when the archive is written, here.
    ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
}

void patchStatedSize(const QString &path, const QString &part, quint32 size)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const QByteArray name = part.toUtf8();
    int patched = 0;
    // Local header: signature, size at 22, name length at 26, name at 30. Central directory
    // entry: signature, size at 24, name length at 28, name at 46.
    struct Header {
        QByteArray signature;
        int sizeAt, nameLengthAt, nameAt;
    };
    const Header headers[] = {{QByteArray("PK\x03\x04", 4), 22, 26, 30},
                              {QByteArray("PK\x01\x02", 4), 24, 28, 46}};
    for (const Header &h : headers) {
        for (qsizetype at = bytes.indexOf(h.signature); at >= 0 && at + h.nameAt <= bytes.size();
             at = bytes.indexOf(h.signature, at + 1)) {
            char *p = bytes.data() + at;
            if (readLe16(p + h.nameLengthAt) == name.size() &&
                bytes.mid(at + h.nameAt, name.size()) == name) {
                writeLe32(p + h.sizeAt, size);
                ++patched;
            }
        }
    }
    ASSERT_EQ(patched, 2) << "headers of " << part.toStdString();
    file.seek(0);
    ASSERT_EQ(file.write(bytes), bytes.size());
}

std::vector<PackagePart> readZipPackage(const QString &path)
{
    std::vector<PackagePart> parts;
    int code = 0;
    std::unique_ptr<zip_t, DiscardZip> zip(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!zip)
        return parts;
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(zip.get(), zip_uint64_t(i), 0, &stat) != 0)
            continue;
        zip_file_t *file = zip_fopen_index(zip.get(), zip_uint64_t(i), 0);
        if (!file)
            continue;
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t n = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        bytes.resize(qsizetype(std::max<zip_int64_t>(n, 0)));
        parts.push_back({QString::fromUtf8(stat.name), bytes});
    }
    return parts;
}

void setPart(std::vector<PackagePart> &parts, const QString &name, const QByteArray &bytes)
{
    for (PackagePart &part : parts) {
        if (part.name == name) {
            part.bytes = bytes;
            return;
        }
    }
    parts.push_back({name, bytes});
}

std::vector<PackagePart> minimalXlsxParts(const QByteArray &sheetData, const QByteArray &cellXfs,
                                          const QByteArray &numFmts)
{
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<PackagePart> parts;
    parts.push_back({QStringLiteral("[Content_Types].xml"),
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                     "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                     "content-types\"/>"});
    parts.push_back({QStringLiteral("_rels/.rels"),
                     "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas."
                     "openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                     "Type=\"" +
                         rel +
                         "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                         "</Relationships>"});
    parts.push_back({QStringLiteral("xl/workbook.xml"),
                     "<?xml version=\"1.0\"?><workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                         "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"
                         "</sheets></workbook>"});
    parts.push_back({QStringLiteral("xl/_rels/workbook.xml.rels"),
                     "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas."
                     "openxmlformats.org/package/2006/relationships\">"
                     "<Relationship Id=\"rId1\" Type=\"" +
                         rel +
                         "/worksheet\" "
                         "Target=\"worksheets/sheet1.xml\"/>"
                         "<Relationship Id=\"rId2\" Type=\"" +
                         rel +
                         "/styles\" "
                         "Target=\"styles.xml\"/>"
                         "<Relationship Id=\"rId3\" Type=\"" +
                         rel +
                         "/sharedStrings\" "
                         "Target=\"sharedStrings.xml\"/></Relationships>"});
    parts.push_back({QStringLiteral("xl/styles.xml"),
                     "<?xml version=\"1.0\"?><styleSheet xmlns=\"" + main + "\"><numFmts>" +
                         numFmts + "</numFmts><cellXfs>" +
                         (cellXfs.isEmpty() ? QByteArray("<xf numFmtId=\"0\"/>") : cellXfs) +
                         "</cellXfs></styleSheet>"});
    parts.push_back({QStringLiteral("xl/worksheets/sheet1.xml"),
                     "<?xml version=\"1.0\"?><worksheet xmlns=\"" + main + "\"><sheetData>" +
                         sheetData + "</sheetData></worksheet>"});
    return parts;
}
