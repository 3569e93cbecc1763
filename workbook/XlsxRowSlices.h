#pragma once

#include "workbook/XlsxSheetLayout.h"
#include "workbook/ZipArchive.h"

#include <QByteArray>

namespace xlsx {

// The rows of a worksheet part cut into slices while the part is inflated, so that a large
// sheet is never held whole. The slices end where the whole part would be cut
// (findSheetLayout, then nextSliceEnd), and every part that findSheetLayout refuses is
// refused here too (Unsliceable), possibly only once its end has been read: the caller then
// reads it whole.
class RowSlices {
public:
    enum class Step { Slice, End, Unsliceable };
    // Bytes of the part, writable (parsed in place) and valid until the next call.
    struct Slice {
        char *data = nullptr;
        qsizetype size = 0;
        qsizetype offset = 0; // of the first byte in the part
    };

    RowSlices(ZipArchive::PartStream &part, qsizetype sliceBytes);

    // Reads the part up to its rows: Slice when the layout was found.
    Step readHead();
    const SheetLayout &layout() const { return m_layout; }
    // The next slice of rows; at the end the rest of the part is read (drain()).
    Step next(Slice &slice);
    // Reads the rest of the part, looking only for what makes it unsliceable; End when
    // nothing does. Damage of the part throws as it is met, as reading it whole would.
    Step drain();

private:
    qsizetype bufferEnd() const { return m_base + m_size; }
    QByteArrayView buffered() const { return QByteArrayView(m_buffer.constData(), m_size); }
    void fill(qsizetype bytes);
    void scanNewBytes();
    void discardBefore(qsizetype offset);
    bool nextEnd(qsizetype &to);

    ZipArchive::PartStream &m_part;
    qsizetype m_sliceBytes;
    QByteArray m_buffer;
    qsizetype m_base = 0; // offset in the part of the buffer's first byte
    qsizetype m_size = 0; // bytes held in the buffer
    bool m_ended = false; // the part has been read to its end
    SheetLayout m_layout;
    bool m_headRead = false;
    qsizetype m_from = 0;     // where the next slice starts
    qsizetype m_rowsEnd = -1; // the first end tag of the rows, once seen
    qsizetype m_scanned = 0;  // bytes before this were looked at for tags and markup
    qsizetype m_searched = 0; // no row end tag ends before this, beyond the slice target
    bool m_unsliceable = false;
};

} // namespace xlsx
