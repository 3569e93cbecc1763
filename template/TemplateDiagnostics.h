#pragma once

#include "common/Diagnostics.h"

#include <QByteArray>
#include <QDomNode>
#include <QString>
#include <QStringList>

class QDomElement;

// Where the problems of one template file are collected, with their places in its source.
// The parsers take an optional pointer to one: a run passes none, the template check passes
// one and gets every problem the parsers meet at its line and column.
class TemplateDiagnostics {
public:
    struct Position {
        int line = 0;
        int column = 0;
    };

    // `file` names the template in the diagnostics; `source` is its text, for the places.
    TemplateDiagnostics(QString file, const QByteArray &source);

    void add(const QDomNode &at, const Finding &finding);
    void add(Position at, const Finding &finding);

    // The '<' that opens an element (or comment); the node's own place when it cannot be found.
    Position start(const QDomNode &node) const;
    // The attribute's name in the element's start tag; the element's start when absent.
    Position attributeStart(const QDomElement &element, const QString &name) const;
    // The first character of the element's text (inside its CDATA section when it has one).
    Position textStart(const QDomElement &element) const;
    // The place of character `offset` of a text that begins at `start`.
    static Position advance(Position start, QStringView text, qsizetype offset);

    // The places of a text's characters, asked for in increasing offsets: each goes on from
    // the one before, so that a long text costs time in proportion to its length.
    class TextPlaces {
    public:
        TextPlaces(Position start, const QString &text) : m_start(start), m_at(start), m_text(text)
        {
        }
        Position at(qsizetype offset);

    private:
        Position m_start;
        Position m_at;
        qsizetype m_from = 0;
        QString m_text;
    };

    const QString &file() const { return m_file; }
    DiagnosticList &list() { return m_list; }
    const DiagnosticList &list() const { return m_list; }

private:
    qsizetype offsetOf(Position p) const; // into m_text; -1 when outside
    Position positionOf(qsizetype offset) const;

    QString m_file;
    QString m_text;
    std::vector<qsizetype> m_lineStarts; // offset of each line's first character
    DiagnosticList m_list;
};
