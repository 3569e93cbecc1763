#include "workbook/XlsxRowSlices.h"

#include <algorithm>
#include <cstring>

namespace xlsx {

namespace {

// Inflated a piece of this size at a time: small beside a slice, large enough that the
// calls cost nothing.
constexpr qsizetype kChunkBytes = 64 * 1024;

} // namespace

RowSlices::RowSlices(ZipArchive::PartStream &part, qsizetype sliceBytes)
    : m_part(part), m_sliceBytes(sliceBytes)
{
}

void RowSlices::fill(qsizetype bytes)
{
    if (m_buffer.size() < m_size + bytes)
        m_buffer.resize(std::max(m_size + bytes, m_buffer.size() * 2));
    const qsizetype n = m_part.read(m_buffer.data() + m_size, bytes);
    if (n == 0)
        m_ended = true;
    m_size += n;
    if (m_headRead)
        scanNewBytes();
}

// Looks at the bytes that came since the last scan: for the end tag of the rows, for a
// second one behind it (the whole part would then be cut at the last), and in the rows for
// markup that could hide or fake a tag. Either of the latter makes the part unsliceable.
void RowSlices::scanNewBytes()
{
    const QByteArray &endTag = m_layout.endTag;
    if (endTag.isEmpty()) // <sheetData/>: no rows to look at
        return;
    const QByteArrayView bytes = buffered();
    const qsizetype tagReach = endTag.size() - 1; // a tag may straddle the last scan's end
    if (m_rowsEnd < 0) {
        const qsizetype from = std::max(m_base, m_scanned - tagReach);
        if (const qsizetype at = bytes.indexOf(endTag, from - m_base); at >= 0)
            m_rowsEnd = m_base + at;
        const qsizetype limit = m_rowsEnd >= 0 ? m_rowsEnd : bufferEnd();
        const qsizetype markupFrom = std::max({m_base, m_scanned - 1, m_layout.rowsBegin});
        if (markupFrom < limit &&
            findMarkupDeclaration(bytes.first(limit - m_base), markupFrom - m_base) >= 0)
            m_unsliceable = true;
    }
    if (m_rowsEnd >= 0) {
        const qsizetype from = std::max({m_base, m_scanned - tagReach, m_rowsEnd + endTag.size()});
        if (from < bufferEnd() && bytes.indexOf(endTag, from - m_base) >= 0)
            m_unsliceable = true;
    }
    m_scanned = bufferEnd();
}

void RowSlices::discardBefore(qsizetype offset)
{
    if (offset <= m_base)
        return;
    const qsizetype drop = std::min(offset - m_base, m_size);
    std::memmove(m_buffer.data(), m_buffer.data() + drop, std::size_t(m_size - drop));
    m_size -= drop;
    m_base += drop;
}

RowSlices::Step RowSlices::readHead()
{
    // Read in doubling pieces, so that a head that is long to find is looked through a
    // bounded number of times.
    for (;;) {
        fill(std::max(kChunkBytes, m_size));
        if (const std::optional<SheetLayout> head = findSheetHead(buffered())) {
            m_layout = *head;
            break;
        }
        if (m_ended)
            return Step::Unsliceable;
    }
    m_headRead = true;
    m_from = m_scanned = m_layout.rowsBegin;
    if (m_layout.endTag.isEmpty())
        m_rowsEnd = m_layout.rowsBegin;
    scanNewBytes();
    return m_unsliceable ? Step::Unsliceable : Step::Slice;
}

// Where the slice starting at m_from ends, as nextSliceEnd would find it in the whole part;
// false when that needs bytes not yet read.
bool RowSlices::nextEnd(qsizetype &to)
{
    if (m_rowsEnd >= 0 && m_rowsEnd - m_from <= m_sliceBytes) {
        to = m_rowsEnd;
        return true;
    }
    const qsizetype target = m_from + m_sliceBytes;
    // Until the end tag has been seen it lies beyond the buffer, so the rows reach further
    // than the target once the buffer does by a tag's length.
    if (m_rowsEnd < 0 && bufferEnd() < target + m_layout.endTag.size())
        return false;
    const qsizetype limit = m_rowsEnd >= 0 ? m_rowsEnd : bufferEnd();
    const qsizetype rowEnd = findRowEnd(buffered(), m_from - m_base,
                                        std::max(target, m_searched) - m_base, limit - m_base);
    if (rowEnd >= 0) {
        to = m_base + rowEnd;
        return true;
    }
    if (m_rowsEnd >= 0) {
        to = m_rowsEnd;
        return true;
    }
    m_searched = std::max(target, limit - 3); // "row>" may straddle the buffer's end
    return false;
}

RowSlices::Step RowSlices::next(Slice &slice)
{
    if (m_unsliceable)
        return Step::Unsliceable;
    discardBefore(m_from);
    if (m_rowsEnd >= 0 && m_from >= m_rowsEnd)
        return drain();
    qsizetype to = 0;
    while (!nextEnd(to)) {
        if (m_ended) // no end tag of the rows
            return Step::Unsliceable;
        fill(kChunkBytes);
        if (m_unsliceable)
            return Step::Unsliceable;
    }
    slice = {m_buffer.data() + (m_from - m_base), to - m_from, m_from};
    m_from = to;
    m_searched = 0;
    return Step::Slice;
}

RowSlices::Step RowSlices::drain()
{
    const qsizetype keep = m_layout.endTag.size() + 1; // what a later scan looks back at
    while (!m_ended && !m_unsliceable) {
        discardBefore(bufferEnd() - keep);
        fill(kChunkBytes);
    }
    return m_unsliceable || m_rowsEnd < 0 ? Step::Unsliceable : Step::End;
}

} // namespace xlsx
