#pragma once

#include "common/Failure.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// A template that is not well-formed or nested too deeply, with the place of the problem.
class TemplateSyntaxError : public Failure {
public:
    TemplateSyntaxError(const QString &message, QString reason, int line, int column)
        : Failure(message), reason(std::move(reason)), line(line), column(column)
    {
    }
    QString reason; // without the file and the place
    int line;
    int column; // 0 when only the line is known
};

// Reads the template file into a document. UTF-8, UTF-16, ISO-8859-1 and Windows-1252
// declarations are read. Throws Failure naming the file and the problem: the file cannot be
// read, is too large, is nested too deeply, or is not well-formed XML.
QDomDocument LoadTemplateDocument(const QString &path);

// The same for a template held in memory; `origin` names it in messages.
QDomDocument ParseTemplateDocument(const QByteArray &bytes, const QString &origin);

// QDomDocument's time grows with the square of the nesting depth (20,000 levels take seconds,
// 200,000 minutes), so a cheap streaming pass refuses a template nested deeper than this,
// which is far beyond any real program layout (five levels).
constexpr int kMaxTemplateDepth = 1000;
// A template is a few hundred kilobytes; its document takes several times its size.
constexpr qint64 kMaxTemplateBytes = 64 * 1024 * 1024;
