#pragma once

#include <QString>
#include <vector>

// One problem a check found, placed as compilers place theirs: a file and a line and column
// in it (from 1), or, for a workbook, a sheet and a cell.
enum class Severity { Warning, Error };

struct Finding {
    Severity severity = Severity::Error;
    QString message;
};

struct Diagnostic {
    QString file;
    int line = 0;   // from 1; 0 when only the file is known. For a workbook: the row
    int column = 0; // from 1; 0 when only the line is known. For a workbook: the column
    QString sheet;  // a workbook's sheet name; empty for a text file
    Severity severity = Severity::Error;
    QString message;

    // "file:line:column: severity: message", or "file:Sheet!C17: severity: message".
    QString text() const;
};

// Collects what a check finds, in any order; reads it back sorted by file and position.
class DiagnosticList {
public:
    void add(Diagnostic d) { m_items.push_back(std::move(d)); }
    void append(const DiagnosticList &other);

    std::vector<Diagnostic> sorted() const;
    const std::vector<Diagnostic> &items() const { return m_items; }
    int count(Severity severity) const;
    bool hasErrors() const { return count(Severity::Error) > 0; }

    // The closing line: "2 errors, 1 warning".
    QString summary() const;
    // One JSON document for tools: {"diagnostics": [...], "errors": n, "warnings": n}.
    QByteArray json() const;

private:
    std::vector<Diagnostic> m_items;
};

QString severityWord(Severity severity);
