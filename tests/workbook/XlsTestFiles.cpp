#include "XlsTestFiles.h"

#include <QFile>
#include <cstring>
#include <stdexcept>

// GLib's headers name a struct field "signals", which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <gsf/gsf.h>
#pragma pop_macro("signals")

namespace XlsTestFiles {

namespace {

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kBoundSheet = 0x0085;

QByteArray bof(std::uint16_t type)
{
    return record(kBof, u16(0x0600) + u16(type) + u16(0x0DBB) + u16(0x07CC) + u32(0) + u32(6));
}

QByteArray boundSheet(std::uint32_t offset, const Sheet &sheet)
{
    QByteArray payload = u32(offset);
    payload += char(sheet.visibility);
    payload += char(sheet.boundSheetType);
    payload += string(sheet.name, false, 1);
    return record(kBoundSheet, payload);
}

} // namespace

QByteArray u16(int value)
{
    QByteArray bytes(2, '\0');
    bytes[0] = char(value & 0xFF);
    bytes[1] = char((value >> 8) & 0xFF);
    return bytes;
}

QByteArray u32(std::uint32_t value)
{
    return u16(int(value & 0xFFFF)) + u16(int(value >> 16));
}

QByteArray f64(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return u32(std::uint32_t(bits)) + u32(std::uint32_t(bits >> 32));
}

QByteArray record(std::uint16_t id, const QByteArray &payload)
{
    return u16(id) + u16(int(payload.size())) + payload;
}

QByteArray string(const QString &text, bool wide, int countBytes)
{
    QByteArray bytes = countBytes == 1 ? QByteArray(1, char(text.size())) : u16(int(text.size()));
    bytes += char(wide ? 1 : 0);
    for (const QChar c : text)
        bytes += wide ? u16(c.unicode()) : QByteArray(1, char(c.unicode()));
    return bytes;
}

QByteArray cellHeader(int row, int column, int xf)
{
    return u16(row) + u16(column) + u16(xf);
}

QByteArray workbookStream(const QByteArray &globals, const std::vector<Sheet> &sheets)
{
    qsizetype globalsSize = bof(0x0005).size() + globals.size() + record(kEof, {}).size();
    for (const Sheet &sheet : sheets)
        globalsSize += boundSheet(0, sheet).size();
    QByteArray stream = bof(0x0005) + globals;
    QByteArray parts;
    for (const Sheet &sheet : sheets) {
        stream += boundSheet(std::uint32_t(globalsSize + parts.size()), sheet);
        parts += bof(sheet.bofType) + sheet.records + record(kEof, {});
    }
    return stream + record(kEof, {}) + parts;
}

void writeCompoundFile(const QString &path,
                       const std::vector<std::pair<QString, QByteArray>> &streams)
{
    gsf_init();
    GError *error = nullptr;
    GsfOutput *file = gsf_output_stdio_new(QFile::encodeName(path).constData(), &error);
    if (!file)
        throw std::runtime_error("cannot write the test file");
    GsfOutfile *storage = gsf_outfile_msole_new(file);
    for (const auto &[name, bytes] : streams) {
        GsfOutput *stream = gsf_outfile_new_child(storage, name.toUtf8().constData(), FALSE);
        gsf_output_write(stream, size_t(bytes.size()),
                         reinterpret_cast<const guint8 *>(bytes.constData()));
        gsf_output_close(stream);
        g_object_unref(stream);
    }
    gsf_output_close(GSF_OUTPUT(storage));
    g_object_unref(storage);
    g_object_unref(file); // closed with the storage written into it
}

void writeXls(const QString &path, const QByteArray &stream)
{
    writeCompoundFile(path, {{QStringLiteral("Workbook"), stream}});
}

} // namespace XlsTestFiles
