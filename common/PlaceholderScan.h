#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Scanning texts for placeholders: `%%`, a name, `%%`. Markers do not nest and there is no
// escape for a literal `%%`. Positions are 0-based indexes into the text.

// The next placeholder at or after `position`. Clears name and argument and sets length 0;
// when an opening marker is found, `position` moves to it. When its closing marker exists,
// `name` is the text between them and `length` the placeholder's length, markers included;
// a name of the form N(arguments)... gives the name N and the argument text between '(' and
// the first ')' behind it. Without opening marker `position` stays; without closing marker
// the name stays empty.
void NextPlaceholder(QStringView text, qsizetype &position, qsizetype &length, QString &name,
                     QString &argument);

// NextPlaceholder from the start of the text.
void FirstPlaceholder(QStringView text, QString &argument, QString &name);

// The index of the first line that holds %%name%% (case-sensitive), or -1.
qsizetype FindPlaceholderLine(const QString &name, const QStringList &lines);

// "%%" + name + "%%".
QString placeholderText(QStringView name);
