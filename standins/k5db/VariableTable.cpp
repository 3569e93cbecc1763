#include "VariableTable.h"

#include "Handles.h"
#include "StoreError.h"
#include "interfaces/K5dbApi.h"

#include <array>
#include <optional>

namespace k5db {

namespace {

VariableRecord readVariable(const Query &row)
{
    VariableRecord v;
    v.handle = makeHandle(ObjectKind::Variable, row.integer(0));
    v.name = row.text(1);
    v.type = row.text(2);
    v.dim = static_cast<std::uint32_t>(row.integer(3));
    v.stringLength = static_cast<std::uint32_t>(row.integer(4));
    v.flags = static_cast<std::uint32_t>(row.integer(5));
    if (!row.isNull(6))
        v.initValue = row.text(6);
    return v;
}

GroupRecord readGroup(const Query &row)
{
    GroupRecord g;
    g.handle = makeHandle(ObjectKind::Group, row.integer(0));
    g.name = row.text(1);
    g.program = row.integer(2) == 0 ? 0 : makeHandle(ObjectKind::Program, row.integer(2));
    return g;
}

} // namespace

std::uint32_t VariableTable::findGroup(std::string_view name)
{
    Query row = m_db.query("SELECT id FROM var_group WHERE name = ?");
    row.bind(name);
    return row.next() ? makeHandle(ObjectKind::Group, row.integer(0)) : 0;
}

std::optional<GroupRecord> VariableTable::group(std::uint32_t hGroup)
{
    if (!isKind(hGroup, ObjectKind::Group))
        return std::nullopt;
    Query row = m_db.query("SELECT id, name, program FROM var_group WHERE id = ?");
    row.bind(rowId(hGroup));
    if (!row.next())
        return std::nullopt;
    return readGroup(row);
}

std::vector<GroupRecord> VariableTable::groups()
{
    std::vector<GroupRecord> all;
    Query rows = m_db.query("SELECT id, name, program FROM var_group "
                            "ORDER BY program <> 0, CASE WHEN program = 0 THEN id END, name");
    while (rows.next())
        all.push_back(readGroup(rows));
    return all;
}

std::uint32_t VariableTable::find(std::uint32_t hGroup, std::string_view name)
{
    Query row = m_db.query("SELECT id FROM variable WHERE group_id = ? AND name = ?");
    row.bind(rowId(hGroup)).bind(name);
    return row.next() ? makeHandle(ObjectKind::Variable, row.integer(0)) : 0;
}

std::uint32_t VariableTable::create(std::uint32_t hGroup, std::uint32_t position,
                                    const VariableRecord &var)
{
    if (find(hGroup, var.name) != 0)
        throw StoreError(K5DB_ERR_EXISTS, "a variable of that name exists in the group");
    std::int64_t id = 0;
    std::int64_t at = 0;
    {
        Query next = m_db.query("SELECT COALESCE(MAX(id), 0) + 1 FROM variable");
        next.next();
        id = next.integer(0);
        // The index on (group, position) answers this at once; counting would not.
        Query last =
            m_db.query("SELECT COALESCE(MAX(position), 0) + 1 FROM variable WHERE group_id = ?");
        last.bind(rowId(hGroup));
        last.next();
        at = last.integer(0);
    }
    if (id > kMaxRowId)
        throw StoreError(K5DB_ERR_STORE, "too many variables in the store");

    if (position != K5DB_POS_APPEND) {
        // The position of the index-th variable; it and those after it move up by one. An
        // index past the end appends.
        Query nth = m_db.query(
            "SELECT position FROM variable WHERE group_id = ? ORDER BY position LIMIT 1 OFFSET ?");
        nth.bind(rowId(hGroup)).bind(position);
        if (nth.next()) {
            at = nth.integer(0);
            m_db.query("UPDATE variable SET position = position + 1 WHERE group_id = ? AND "
                       "position >= ?")
                .bind(rowId(hGroup))
                .bind(at)
                .run();
        }
    }
    m_db.query(
            "INSERT INTO variable(id, group_id, position, name, type, dim, string_length, flags) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(id)
        .bind(rowId(hGroup))
        .bind(at)
        .bind(var.name)
        .bind(var.type)
        .bind(var.dim)
        .bind(var.stringLength)
        .bind(var.flags)
        .run();
    return makeHandle(ObjectKind::Variable, id);
}

std::optional<VariableRecord> VariableTable::record(std::uint32_t hGroup, std::uint32_t hVar)
{
    if (!isKind(hVar, ObjectKind::Variable) || !isKind(hGroup, ObjectKind::Group))
        return std::nullopt;
    Query row = m_db.query("SELECT id, name, type, dim, string_length, flags, init_value "
                           "FROM variable WHERE id = ? AND group_id = ?");
    row.bind(rowId(hVar)).bind(rowId(hGroup));
    if (!row.next())
        return std::nullopt;
    return readVariable(row);
}

std::vector<std::uint32_t> VariableTable::list(std::uint32_t hGroup)
{
    std::vector<std::uint32_t> handles;
    Query rows = m_db.query("SELECT id FROM variable WHERE group_id = ? ORDER BY position");
    rows.bind(rowId(hGroup));
    while (rows.next())
        handles.push_back(makeHandle(ObjectKind::Variable, rows.integer(0)));
    return handles;
}

std::vector<VariableRecord> VariableTable::records(std::uint32_t hGroup)
{
    std::vector<VariableRecord> all;
    Query rows = m_db.query("SELECT id, name, type, dim, string_length, flags, init_value "
                            "FROM variable WHERE group_id = ? ORDER BY position");
    rows.bind(rowId(hGroup));
    while (rows.next())
        all.push_back(readVariable(rows));
    return all;
}

std::uint32_t VariableTable::count(std::uint32_t hGroup)
{
    Query row = m_db.query("SELECT count(*) FROM variable WHERE group_id = ?");
    row.bind(rowId(hGroup));
    return row.next() ? static_cast<std::uint32_t>(row.integer(0)) : 0;
}

namespace {

// The notes of a group's variables read in passes over the range of their row ids: a group's
// variables are mostly made together, so their ids lie close and a pass over the notes of
// that range costs less than looking each note up. Slots are by id - first.
class NoteRange {
public:
    // The range of the group's ids, or none when it is too sparse to pay.
    static std::optional<NoteRange> of(Database &db, std::int64_t group)
    {
        Query row = db.query("SELECT min(id), max(id), count(*) FROM variable WHERE group_id = ?");
        row.bind(group);
        if (!row.next() || row.integer(2) == 0)
            return std::nullopt;
        const std::int64_t first = row.integer(0), last = row.integer(1);
        if (last - first >= 4 * row.integer(2) + 64)
            return std::nullopt;
        return NoteRange(first, last);
    }

    // Reads the notes of two kinds (comment kinds or property numbers) from the query `sql`
    // into the fields `field` and `field` + 1 (0 to 3: tag, description, profile, embed) of
    // each slot.
    void read(Database &db, const char *sql, std::int64_t first, std::int64_t second, int field)
    {
        const std::int64_t kindBits = makeHandle(ObjectKind::Variable, 0);
        Query rows = db.query(sql);
        rows.bind(kindBits | m_first).bind(kindBits | m_last).bind(first).bind(second);
        while (rows.next()) {
            const std::string text = rows.text(2);
            const int which = rows.integer(1) == first ? field : field + 1;
            m_slots[slot(rows.integer(0))][std::size_t(which)] = {m_texts.size(), text.size()};
            m_texts += text;
        }
    }

    void fill(VariableDetails &d) const
    {
        const auto &spans = m_slots[slot(d.record.handle)];
        for (int field = 0; field < 4; ++field) {
            std::string &out = field == 0   ? d.tag
                               : field == 1 ? d.description
                               : field == 2 ? d.profile
                                            : d.embed;
            out.assign(m_texts, spans[field].at, spans[field].size);
        }
    }

private:
    struct Span {
        std::size_t at = 0, size = 0;
    };

    NoteRange(std::int64_t first, std::int64_t last)
        : m_first(first), m_last(last), m_slots(std::size_t(last - first + 1))
    {
    }
    // The slot of a variable's handle or of the object a note is keyed by.
    std::size_t slot(std::int64_t object) const
    {
        return std::size_t(rowId(static_cast<std::uint32_t>(object)) - m_first);
    }

    std::int64_t m_first, m_last;
    std::vector<std::array<Span, 4>> m_slots; // tag, description, profile, embed
    std::string m_texts;                      // every note read, one after the other
};

constexpr const char *kCommentsInRange =
    "SELECT object, kind, text FROM comment WHERE object BETWEEN ? AND ? AND kind IN (?, ?)";
constexpr const char *kPropertiesInRange =
    "SELECT object, prop, value FROM property WHERE object BETWEEN ? AND ? AND prop IN (?, ?)";

} // namespace

void VariableTable::details(std::uint32_t hGroup,
                            const std::function<void(const VariableDetails &)> &each)
{
    std::optional<NoteRange> notes = NoteRange::of(m_db, rowId(hGroup));
    if (!notes) {
        detailsOneByOne(hGroup, each);
        return;
    }
    notes->read(m_db, kCommentsInRange, K5DB_COMMENT_TAG, K5DB_COMMENT_DESC, 0);
    notes->read(m_db, kPropertiesInRange, K5DB_PROP_PROFILE, K5DB_PROP_EMBED, 2);
    Query rows = m_db.query("SELECT id, name, type, dim, string_length, flags, init_value "
                            "FROM variable WHERE group_id = ? ORDER BY position");
    rows.bind(rowId(hGroup));
    VariableDetails d;
    while (rows.next()) {
        d.record = readVariable(rows);
        notes->fill(d);
        each(d);
    }
}

void VariableTable::detailsOneByOne(std::uint32_t hGroup,
                                    const std::function<void(const VariableDetails &)> &each)
{
    // Comments and properties are keyed by the variable's handle: its row id with the
    // variable kind in the top bits.
    const std::int64_t kindBits = makeHandle(ObjectKind::Variable, 0);
    Query rows =
        m_db.query("SELECT v.id, v.name, v.type, v.dim, v.string_length, v.flags, v.init_value, "
                   "(SELECT text FROM comment WHERE object = (?1 | v.id) AND kind = ?2), "
                   "(SELECT text FROM comment WHERE object = (?1 | v.id) AND kind = ?3), "
                   "(SELECT value FROM property WHERE object = (?1 | v.id) AND prop = ?4), "
                   "(SELECT value FROM property WHERE object = (?1 | v.id) AND prop = ?5) "
                   "FROM variable v WHERE v.group_id = ?6 ORDER BY v.position");
    rows.bind(kindBits)
        .bind(std::int64_t{K5DB_COMMENT_TAG})
        .bind(std::int64_t{K5DB_COMMENT_DESC})
        .bind(std::int64_t{K5DB_PROP_PROFILE})
        .bind(std::int64_t{K5DB_PROP_EMBED})
        .bind(rowId(hGroup));
    VariableDetails d;
    while (rows.next()) {
        d.record = readVariable(rows);
        d.tag = rows.text(7);
        d.description = rows.text(8);
        d.profile = rows.text(9);
        d.embed = rows.text(10);
        each(d);
    }
}

void VariableTable::setInitValue(std::uint32_t hVar, const std::optional<std::string> &value)
{
    Query update = m_db.query("UPDATE variable SET init_value = ? WHERE id = ?");
    if (value)
        update.bind(*value);
    else
        update.bindNull();
    update.bind(rowId(hVar)).run();
}

void VariableTable::remove(std::uint32_t hVar)
{
    m_db.query("DELETE FROM variable WHERE id = ?").bind(rowId(hVar)).run();
}

void VariableTable::removeAllOf(std::uint32_t hGroup)
{
    m_db.query("DELETE FROM variable WHERE group_id = ?").bind(rowId(hGroup)).run();
}

} // namespace k5db
