#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A small JSON writer that keeps keys in the order they are written (QJsonObject sorts them)
// and indents for reading. Output is UTF-8.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(const QString &name);
    void value(const QString &text);
    void value(bool flag);
    void value(qint64 number);
    void value(const QStringList &items); // an array of texts
    void null();
    // A key and its value.
    template <typename T> void field(const QString &name, const T &v)
    {
        key(name);
        value(v);
    }

    const QByteArray &bytes() const { return m_out; }

private:
    void beforeValue();
    void newline();

    QByteArray m_out;
    std::vector<bool> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};
