#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <QUuid>
#include <QVarLengthArray>

// A streaming JSON writer for the configuration document: UTF-8, four-space indentation, one
// member per line, numbers in their shortest form: the layout of QJsonDocument::Indented at a
// fraction of its cost, without an intermediate tree.
//
// Callers write the members of every object in ascending key order; debug builds assert it.
class JsonWriter
{
public:
    explicit JsonWriter(qsizetype expectedSize = 4096);

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The next member's key; a value must follow.
    void key(QLatin1String name);

    void value(QStringView text);
    void value(QLatin1String text);
    void value(bool flag);
    // Non-finite numbers have no JSON form; callers replace them first.
    void value(double number);
    void value(const QUuid &id);
    void nullValue();

    // A member: its key and value.
    template<typename Value>
    void member(QLatin1String name, const Value &content)
    {
        key(name);
        value(content);
    }

    QByteArray take();

private:
    struct Level
    {
        bool isObject;
        bool empty = true;
        QLatin1String lastKey;
    };

    void beforeValue();
    void newline();
    void close(char bracket);
    char *reserve(qsizetype bytes);
    void append(char c) { *reserve(1) = c; ++m_size; }
    void append(const char *text, qsizetype length);
    void appendQuoted(QStringView text);

    QByteArray m_buffer;
    qsizetype m_size = 0;
    QVarLengthArray<Level, 16> m_levels;
    bool m_afterKey = false;
};
