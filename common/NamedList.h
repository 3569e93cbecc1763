#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <utility>
#include <vector>

// How a name-keyed list keeps its entries and what it does with a name it already holds.
// Names are always looked up without regard to case; among entries of the same name the one
// nearest the front wins.
enum class NameOrder { Insertion, Sorted };

// A name as a hash key that matches without regard to case. Hashing and comparing fold one
// character at a time, so a look-up allocates nothing.
struct FoldedName {
    QString text;
    friend bool operator==(const FoldedName &a, const FoldedName &b)
    {
        return a.text.compare(b.text, Qt::CaseInsensitive) == 0;
    }
    friend size_t qHash(const FoldedName &key, size_t seed = 0)
    {
        size_t h = seed;
        for (const QChar c : key.text)
            h = h * 31 + c.toCaseFolded().unicode();
        return h;
    }
};
enum class NameRepeats {
    Keep,   // a repeated name is added like any other
    Refuse, // a repeated name is not added; add() reports it
};

// An ordered list of (name, value) entries with case-insensitive lookup. Look-ups go through
// a hash of the folded names, rebuilt after changes other than appends, so finding a name
// costs the same in a list of ten entries as in one of forty thousand.
template <typename T>
class NamedList {
public:
    struct Entry {
        QString name;
        T value;
    };

    explicit NamedList(NameOrder order = NameOrder::Insertion,
                       NameRepeats repeats = NameRepeats::Keep)
        : m_order(order), m_repeats(repeats)
    {
    }

    NameOrder order() const { return m_order; }
    NameRepeats repeats() const { return m_repeats; }

    // Adds an entry and returns its index, or -1 when the list refuses a repeated name.
    qsizetype add(const QString &name, T value)
    {
        if (m_repeats == NameRepeats::Refuse && indexOf(name) >= 0)
            return -1;
        const qsizetype at = m_order == NameOrder::Sorted ? sortedPosition(name) : size();
        m_entries.insert(m_entries.begin() + at, Entry{name, std::move(value)});
        if (at == size() - 1 && !m_indexDirty) {
            const FoldedName key{name};
            if (!m_index.contains(key)) // a nearer entry of the same name keeps winning
                m_index.insert(key, at);
        } else {
            m_indexDirty = true;
        }
        return at;
    }

    qsizetype indexOf(const QString &name) const
    {
        refreshIndex();
        const auto it = m_index.constFind(FoldedName{name});
        return it == m_index.cend() ? -1 : *it;
    }
    bool contains(const QString &name) const { return indexOf(name) >= 0; }

    T *find(const QString &name)
    {
        const qsizetype i = indexOf(name);
        return i < 0 ? nullptr : &m_entries[i].value;
    }
    const T *find(const QString &name) const
    {
        const qsizetype i = indexOf(name);
        return i < 0 ? nullptr : &m_entries[i].value;
    }

    void removeAt(qsizetype i)
    {
        m_entries.erase(m_entries.begin() + i);
        m_indexDirty = true;
    }
    void clear()
    {
        m_entries.clear();
        m_index.clear();
        m_indexDirty = false;
    }

    qsizetype size() const { return static_cast<qsizetype>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    Entry &at(qsizetype i) { return m_entries[i]; }
    const Entry &at(qsizetype i) const { return m_entries[i]; }
    const QString &nameAt(qsizetype i) const { return m_entries[i].name; }
    T &valueAt(qsizetype i) { return m_entries[i].value; }
    const T &valueAt(qsizetype i) const { return m_entries[i].value; }

    auto begin() { return m_entries.begin(); }
    auto end() { return m_entries.end(); }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    // After the last entry that sorts at or before `name`, so equal names keep their order.
    qsizetype sortedPosition(const QString &name) const
    {
        const auto it = std::upper_bound(
            m_entries.begin(), m_entries.end(), name, [](const QString &n, const Entry &e) {
                return QString::compare(n, e.name, Qt::CaseInsensitive) < 0;
            });
        return it - m_entries.begin();
    }

    void refreshIndex() const
    {
        if (!m_indexDirty)
            return;
        m_index.clear();
        m_index.reserve(size());
        for (qsizetype i = size() - 1; i >= 0; --i)
            m_index.insert(FoldedName{m_entries[i].name}, i);
        m_indexDirty = false;
    }

    NameOrder m_order;
    NameRepeats m_repeats;
    std::vector<Entry> m_entries;
    mutable QHash<FoldedName, qsizetype> m_index; // name -> first index
    mutable bool m_indexDirty = false;
};
