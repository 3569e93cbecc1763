#pragma once

#include <QStringList>
#include <initializer_list>

// A text list written inline in a test.
inline QStringList lines(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list.append(QString::fromUtf8(t));
    return list;
}
