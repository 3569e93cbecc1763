#include "run/JsonWriter.h"

namespace {

QByteArray quoted(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += QByteArray("\\u00") +
                       QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += '"';
    return out;
}

} // namespace

void JsonWriter::newline()
{
    m_out += '\n';
    m_out += QByteArray(int(m_first.size()) * 2, ' ');
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.empty())
        return;
    if (!m_first.back())
        m_out += ',';
    m_first.back() = false;
    newline();
}

void JsonWriter::beginObject()
{
    beforeValue();
    m_out += '{';
    m_first.push_back(true);
}

void JsonWriter::endObject()
{
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        newline();
    m_out += '}';
}

void JsonWriter::beginArray()
{
    beforeValue();
    m_out += '[';
    m_first.push_back(true);
}

void JsonWriter::endArray()
{
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        newline();
    m_out += ']';
}

void JsonWriter::key(const QString &name)
{
    beforeValue();
    m_out += quoted(name);
    m_out += ": ";
    m_afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    beforeValue();
    m_out += quoted(text);
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    m_out += flag ? "true" : "false";
}

void JsonWriter::value(qint64 number)
{
    beforeValue();
    m_out += QByteArray::number(number);
}

void JsonWriter::null()
{
    beforeValue();
    m_out += "null";
}

void JsonWriter::value(const QStringList &items)
{
    beginArray();
    for (const QString &s : items)
        value(s);
    endArray();
}
