#include "workbook/XlsGlobals.h"

#include "common/Failure.h"
#include "workbook/BiffRecordReader.h"
#include "workbook/BiffTextReader.h"
#include "workbook/DateFormat.h"
#include "workbook/XlsMessages.h"

#include <QHash>

namespace {

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kBofGlobals = 0x0005;
constexpr std::uint16_t kBofWorksheet = 0x0010;
constexpr std::uint16_t kBofChart = 0x0020;
constexpr std::uint16_t kBofMacroSheet = 0x0040;
constexpr std::uint8_t kWsBoolDialog = 0x10; // in the first byte of WSBOOL
constexpr int kShortestString = 3;           // count and option byte of an empty string

struct Collected {
    QHash<int, QString> formatCodes;      // custom number formats by id
    std::vector<std::uint16_t> xfFormats; // number format id of each XF
};

void readSharedStrings(BiffRecordReader &records, const BiffRecord &sst, XlsGlobals &globals)
{
    records.requireSize(sst, 8);
    const std::uint32_t unique = biffU32(sst.data + 4);
    BiffTextReader text(records, sst, 8, true);
    auto strings = std::make_shared<SheetData::StringPool>();
    // The count comes from the file; the bytes bound what it may make us hold.
    strings->reserve(
        std::size_t(std::min<std::uint64_t>(unique, text.bytesLeft() / kShortestString)));
    for (std::uint32_t i = 0; i < unique && !text.atEnd(); ++i)
        strings->push_back(text.string(2));
    globals.strings = std::move(strings);
}

void readBoundSheet(BiffRecordReader &records, const BiffRecord &record, XlsGlobals &globals)
{
    records.requireSize(record, 8);
    XlsSheetEntry entry;
    entry.offset = biffU32(record.data);
    switch (record.data[5]) {
    case 0:
        entry.kind = XlsSheetKind::Worksheet; // or a dialog sheet; its own records say which
        break;
    case 1:
        entry.kind = XlsSheetKind::MacroSheet;
        break;
    case 2:
        entry.kind = XlsSheetKind::Chart;
        break;
    default:
        entry.kind = XlsSheetKind::Module;
        break;
    }
    BiffTextReader text(records, record, 6, false);
    entry.name = text.string(1);
    globals.sheets.push_back(std::move(entry));
}

// The kind of substream that a BOF record starts.
std::uint16_t bofType(BiffRecordReader &records, const BiffRecord &bof)
{
    if (bof.id != BiffId::Bof)
        records.fail(bof, QStringLiteral("stands where a BOF record belongs"));
    records.requireSize(bof, 4);
    return biffU16(bof.data + 2);
}

// A sheet that BOUNDSHEET calls a worksheet is a dialog sheet when its WSBOOL says so. WSBOOL
// comes before the sheet's dimensions and cells, so the look stops there.
bool isDialogSheet(BiffRecordReader &records)
{
    BiffRecord record;
    while (records.next(record)) {
        switch (record.id) {
        case BiffId::WsBool:
            return record.size >= 1 && (record.data[0] & kWsBoolDialog) != 0;
        case BiffId::Dimensions:
        case BiffId::Row:
        case BiffId::Bof:
        case BiffId::Eof:
            return false;
        default:
            break;
        }
    }
    return false;
}

void settleSheetKind(const QByteArray &stream, const QString &path, XlsSheetEntry &sheet)
{
    if (sheet.offset >= std::uint64_t(stream.size()))
        throw Failure(XlsMessages::damaged(
            path, QStringLiteral("sheet \"%1\" lies beyond the end of the stream").arg(sheet.name),
            sheet.offset));
    BiffRecordReader records(stream, sheet.offset, path);
    BiffRecord bof;
    if (!records.next(bof))
        records.fail(bof, QStringLiteral("is missing"));
    const std::uint16_t type = bofType(records, bof);
    if (type == kBofChart)
        sheet.kind = XlsSheetKind::Chart;
    else if (type == kBofMacroSheet)
        sheet.kind = XlsSheetKind::MacroSheet;
    else if (type != kBofWorksheet)
        sheet.kind = XlsSheetKind::Module;
    else if (sheet.kind == XlsSheetKind::Worksheet && isDialogSheet(records))
        sheet.kind = XlsSheetKind::DialogSheet;
}

bool formatIsDate(int id, const QHash<int, QString> &codes)
{
    const auto code = codes.constFind(id);
    return code != codes.constEnd() ? isDateFormatCode(*code) : isBuiltInDateFormat(id);
}

} // namespace

XlsGlobals readXlsGlobals(const QByteArray &stream, const QString &path)
{
    XlsGlobals globals;
    Collected collected;
    BiffRecordReader records(stream, 0, path);
    BiffRecord record;
    if (!records.next(record))
        throw Failure(
            XlsMessages::damaged(path, QStringLiteral("the Workbook stream is empty"), 0));
    const std::uint16_t type = bofType(records, record);
    if (biffU16(record.data) != kBiff8)
        throw Failure(XlsMessages::oldFormat(path));
    if (type != kBofGlobals)
        records.fail(record, QStringLiteral("does not start the workbook globals"));
    bool ended = false;
    while (!ended && records.next(record)) {
        switch (record.id) {
        case BiffId::FilePass:
            throw Failure(XlsMessages::encrypted(path));
        case BiffId::BoundSheet:
            readBoundSheet(records, record, globals);
            break;
        case BiffId::Sst:
            readSharedStrings(records, record, globals);
            break;
        case BiffId::Format: {
            records.requireSize(record, 2);
            BiffTextReader text(records, record, 2, false);
            collected.formatCodes.insert(biffU16(record.data), text.string(2));
            break;
        }
        case BiffId::Xf:
            records.requireSize(record, 4);
            collected.xfFormats.push_back(biffU16(record.data + 2));
            break;
        case BiffId::DateMode:
            records.requireSize(record, 2);
            globals.dateSystem1904 = biffU16(record.data) == 1;
            break;
        case BiffId::Eof:
            ended = true;
            break;
        default:
            break;
        }
    }
    if (!ended)
        throw Failure(XlsMessages::damaged(
            path, QStringLiteral("the workbook globals end without an EOF record"),
            records.position()));
    if (!globals.strings)
        globals.strings = std::make_shared<SheetData::StringPool>();
    globals.dateFormats.reserve(collected.xfFormats.size());
    for (const std::uint16_t id : collected.xfFormats)
        globals.dateFormats.push_back(formatIsDate(id, collected.formatCodes));
    for (XlsSheetEntry &sheet : globals.sheets)
        settleSheetKind(stream, path, sheet);
    return globals;
}
