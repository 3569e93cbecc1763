#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <optional>
#include <vector>

// An INI file edited without losing anything of it: comments, blank lines, the order of
// sections and keys, unknown keys and lines that are no key at all stay byte for byte. A
// changed key is replaced where it stands; a new key is appended to its section, a new
// section to the end. Section and key names are matched without regard to (ASCII) case.
// Text stays 8-bit: the caller decides the encoding.
class IniDocument {
public:
    static IniDocument parse(const QByteArray &bytes);
    QByteArray toBytes() const;

    std::optional<QByteArray> value(const QByteArray &section, const QByteArray &key) const;
    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    bool removeKey(const QByteArray &section, const QByteArray &key);

    QByteArrayList sections() const;
    QByteArrayList keys(const QByteArray &section) const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray text;   // without its line end
        QByteArray ending; // "\r\n", "\n", "\r" or "" for a last line without one
        Kind kind = Kind::Other;
        QByteArray name;   // section name, or key name
        QByteArray section; // for keys: the section they belong to ("" before any header)
    };

    static Line classify(QByteArray text, QByteArray ending, const QByteArray &section);
    std::optional<std::size_t> findKey(const QByteArray &section, const QByteArray &key) const;
    QByteArray newLineEnding() const;
    // Where a new key of the section goes; none when the section has no header yet.
    std::optional<std::size_t> sectionEnd(const QByteArray &section) const;

    std::vector<Line> m_lines;
};
