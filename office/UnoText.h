#pragma once

#include <QString>
#include <rtl/ustring.hxx>

using rtl::OUString;

// Text between Qt and UNO: both are UTF-16.
inline OUString toUno(const QString &text)
{
    return OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), sal_Int32(text.size()));
}

inline QString fromUno(const OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}
