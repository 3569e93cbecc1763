#include "VariableTable.h"

#include "Handles.h"
#include "StoreError.h"
#include "interfaces/K5dbApi.h"

#include <algorithm>
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

// A group read in passes over the range of its variables' row ids: the variables of a group
// are mostly made together, so their ids lie close, and a pass over that range of the
// variables, comments and properties costs less than following the group's order to each
// row and looking each note up. Slots are by id - first; rows and notes of other groups in
// the range are read and left unused.
class GroupRange {
public:
    // The range of the group's ids, or none when it is too sparse to pay.
    static std::optional<GroupRange> of(Database &db, std::int64_t group)
    {
        Query row = db.query("SELECT min(id), max(id), count(*) FROM variable WHERE group_id = ?");
        row.bind(group);
        if (!row.next() || row.integer(2) == 0)
            return std::nullopt;
        const std::int64_t first = row.integer(0), last = row.integer(1);
        const std::int64_t count = row.integer(2);
        if (last - first >= 4 * count + 64)
            return std::nullopt;
        GroupRange range(group, first, last);
        range.m_rows.reserve(std::size_t(count));
        return range;
    }

    void read(Database &db)
    {
        readNotes(db, kCommentsInRange, K5DB_COMMENT_TAG, K5DB_COMMENT_DESC, kTag);
        readNotes(db, kPropertiesInRange, K5DB_PROP_PROFILE, K5DB_PROP_EMBED, kProfile);
        readRows(db);
    }

    // Passes every variable of the group in the group's order.
    void each(const std::function<void(const VariableDetails &)> &pass) const
    {
        const std::string_view all(m_texts);
        const auto text = [&all](Span s) { return all.substr(s.at, s.size); };
        VariableDetails d;
        for (const Row &row : m_rows) {
            const auto &notes = m_slots[std::size_t(row.id - m_first)];
            d.handle = makeHandle(ObjectKind::Variable, row.id);
            d.name = text(row.name);
            d.type = text(row.type);
            d.dim = row.dim;
            d.stringLength = row.length;
            d.flags = row.flags;
            d.hasInit = row.hasInit;
            d.init = text(row.init);
            d.tag = text(notes[kTag]);
            d.description = text(notes[kTag + 1]);
            d.profile = text(notes[kProfile]);
            d.embed = text(notes[kProfile + 1]);
            pass(d);
        }
    }

private:
    static constexpr const char *kCommentsInRange =
        "SELECT object, kind, text FROM comment WHERE object BETWEEN ? AND ? AND kind IN (?, ?)";
    static constexpr const char *kPropertiesInRange =
        "SELECT object, prop, value FROM property WHERE object BETWEEN ? AND ? AND prop IN (?, ?)";
    static constexpr std::size_t kTag = 0, kProfile = 2; // each followed by its pair

    struct Span {
        std::size_t at = 0, size = 0;
    };
    struct Row {
        std::int64_t id = 0, position = 0;
        std::uint32_t dim = 0, length = 0, flags = 0;
        bool hasInit = false;
        Span name, type, init;
    };

    GroupRange(std::int64_t group, std::int64_t first, std::int64_t last)
        : m_group(group), m_first(first), m_last(last), m_slots(std::size_t(last - first + 1))
    {
    }

    Span keep(const std::string &text)
    {
        const Span span{m_texts.size(), text.size()};
        m_texts += text;
        return span;
    }

    // The notes of two kinds (comment kinds or property numbers) into fields `field` and
    // `field` + 1 of each slot.
    void readNotes(Database &db, const char *sql, std::int64_t first, std::int64_t second,
                   std::size_t field)
    {
        const std::int64_t kindBits = makeHandle(ObjectKind::Variable, 0);
        Query rows = db.query(sql);
        rows.bind(kindBits | m_first).bind(kindBits | m_last).bind(first).bind(second);
        while (rows.next()) {
            const std::int64_t id = rowId(static_cast<std::uint32_t>(rows.integer(0)));
            m_slots[std::size_t(id - m_first)][rows.integer(1) == first ? field : field + 1] =
                keep(rows.text(2));
        }
    }

    // The group's rows in the order of their ids (the "+" keeps the group's indexes out of
    // it), then in the group's order, as its index holds them: by position, then by id.
    void readRows(Database &db)
    {
        Query rows = db.query("SELECT id, position, name, type, dim, string_length, flags, "
                              "init_value FROM variable WHERE id BETWEEN ? AND ? AND "
                              "+group_id = ?");
        rows.bind(m_first).bind(m_last).bind(m_group);
        while (rows.next()) {
            Row row;
            row.id = rows.integer(0);
            row.position = rows.integer(1);
            row.name = keep(rows.text(2));
            row.type = keep(rows.text(3));
            row.dim = static_cast<std::uint32_t>(rows.integer(4));
            row.length = static_cast<std::uint32_t>(rows.integer(5));
            row.flags = static_cast<std::uint32_t>(rows.integer(6));
            row.hasInit = !rows.isNull(7);
            if (row.hasInit)
                row.init = keep(rows.text(7));
            m_rows.push_back(row);
        }
        std::sort(m_rows.begin(), m_rows.end(), [](const Row &a, const Row &b) {
            return a.position != b.position ? a.position < b.position : a.id < b.id;
        });
    }

    std::int64_t m_group, m_first, m_last;
    std::vector<std::array<Span, 4>> m_slots; // tag, description, profile, embed
    std::vector<Row> m_rows;
    std::string m_texts; // every text read, one after the other
};

} // namespace

void VariableTable::details(std::uint32_t hGroup,
                            const std::function<void(const VariableDetails &)> &each)
{
    std::optional<GroupRange> range = GroupRange::of(m_db, rowId(hGroup));
    if (!range) {
        detailsOneByOne(hGroup, each);
        return;
    }
    range->read(m_db);
    range->each(each);
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
    while (rows.next()) {
        const VariableRecord record = readVariable(rows);
        const std::string tag = rows.text(7), description = rows.text(8), profile = rows.text(9),
                          embed = rows.text(10);
        VariableDetails d;
        d.handle = record.handle;
        d.name = record.name;
        d.type = record.type;
        d.dim = record.dim;
        d.stringLength = record.stringLength;
        d.flags = record.flags;
        d.hasInit = record.initValue.has_value();
        d.init = record.initValue ? std::string_view(*record.initValue) : std::string_view();
        d.tag = tag;
        d.description = description;
        d.profile = profile;
        d.embed = embed;
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
