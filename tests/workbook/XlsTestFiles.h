#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

// Hand-made .xls files for the reader's tests: BIFF8 records and the compound file around
// them, so that each case holds exactly the records it is about.
namespace XlsTestFiles {

QByteArray u16(int value);
QByteArray u32(std::uint32_t value);
QByteArray f64(double value);

// One record: id, length, payload.
QByteArray record(std::uint16_t id, const QByteArray &payload);
// A string as cell and format records hold it: count (of `countBytes` bytes), option byte,
// characters 8-bit or 16-bit.
QByteArray string(const QString &text, bool wide, int countBytes = 2);
// Row, column (from 0) and format index: the start of every cell record.
QByteArray cellHeader(int row, int column, int xf = 0);

struct Sheet {
    QString name;
    std::uint8_t boundSheetType = 0; // 0 worksheet or dialog, 1 macro sheet, 2 chart
    std::uint16_t bofType = 0x0010;  // 0x0010 worksheet, 0x0020 chart, 0x0040 macro sheet
    std::uint8_t visibility = 0;     // 0 visible, 1 hidden, 2 very hidden
    QByteArray records;              // between the sheet's BOF and EOF
};

// A Workbook stream: globals (BOF, `globals`, one BOUNDSHEET per sheet, EOF), then each
// sheet's BOF, records and EOF, with the BOUNDSHEET offsets pointing at them.
QByteArray workbookStream(const QByteArray &globals, const std::vector<Sheet> &sheets);

// Writes a compound file holding the named streams.
void writeCompoundFile(const QString &path,
                       const std::vector<std::pair<QString, QByteArray>> &streams);
// Writes a compound file whose one stream "Workbook" holds `stream`.
void writeXls(const QString &path, const QByteArray &stream);

} // namespace XlsTestFiles
