#include "NoteTable.h"

#include "Handles.h"

namespace k5db {

void NoteTable::setComment(std::uint32_t object, std::uint32_t kind, std::string_view text)
{
    if (text.empty()) {
        m_db.query("DELETE FROM comment WHERE object = ? AND kind = ?")
            .bind(object)
            .bind(kind)
            .run();
        return;
    }
    m_db.query("INSERT OR REPLACE INTO comment(object, kind, text) VALUES(?, ?, ?)")
        .bind(object)
        .bind(kind)
        .bind(text)
        .run();
}

std::string NoteTable::comment(std::uint32_t object, std::uint32_t kind)
{
    Query row = m_db.query("SELECT text FROM comment WHERE object = ? AND kind = ?");
    row.bind(object).bind(kind);
    return row.next() ? row.text(0) : std::string();
}

void NoteTable::setProperty(std::uint32_t object, std::uint32_t prop, std::string_view value)
{
    m_db.query("INSERT OR REPLACE INTO property(object, prop, value) VALUES(?, ?, ?)")
        .bind(object)
        .bind(prop)
        .bind(value)
        .run();
}

std::string NoteTable::property(std::uint32_t object, std::uint32_t prop)
{
    Query row = m_db.query("SELECT value FROM property WHERE object = ? AND prop = ?");
    row.bind(object).bind(prop);
    return row.next() ? row.text(0) : std::string();
}

void NoteTable::removeProperties(std::uint32_t object)
{
    m_db.query("DELETE FROM property WHERE object = ?").bind(object).run();
}

void NoteTable::removeAll(std::uint32_t object)
{
    removeProperties(object);
    m_db.query("DELETE FROM comment WHERE object = ?").bind(object).run();
}

void NoteTable::removeAllOfGroupVariables(std::uint32_t hGroup)
{
    // A variable's handle is its row id with the variable kind in the top bits.
    const std::int64_t kindBits = makeHandle(ObjectKind::Variable, 0);
    m_db.query("DELETE FROM property WHERE object IN "
               "(SELECT ? | id FROM variable WHERE group_id = ?)")
        .bind(kindBits)
        .bind(rowId(hGroup))
        .run();
    m_db.query("DELETE FROM comment WHERE object IN "
               "(SELECT ? | id FROM variable WHERE group_id = ?)")
        .bind(kindBits)
        .bind(rowId(hGroup))
        .run();
}

NoteTable::Entries NoteTable::comments(std::uint32_t object)
{
    Entries entries;
    Query rows = m_db.query("SELECT kind, text FROM comment WHERE object = ? ORDER BY kind");
    rows.bind(object);
    while (rows.next())
        entries.emplace_back(static_cast<std::uint32_t>(rows.integer(0)), rows.text(1));
    return entries;
}

NoteTable::Entries NoteTable::properties(std::uint32_t object)
{
    Entries entries;
    Query rows = m_db.query("SELECT prop, value FROM property WHERE object = ? ORDER BY prop");
    rows.bind(object);
    while (rows.next())
        entries.emplace_back(static_cast<std::uint32_t>(rows.integer(0)), rows.text(1));
    return entries;
}

} // namespace k5db
