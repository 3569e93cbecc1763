#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <gtest/gtest.h>

// The document element of a small inline XML text; the element keeps its document alive.
inline QDomElement xmlElement(const QString &xml)
{
    QDomDocument doc;
    QString error;
    EXPECT_TRUE(doc.setContent(xml, &error)) << error.toStdString() << " in " << xml.toStdString();
    return doc.documentElement();
}

inline QDomElement xmlElement(const char *xml)
{
    return xmlElement(QString::fromUtf8(xml));
}
