#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <QUuid>
#include <QVarLengthArray>

#include <limits>

// A streaming JSON writer for the configuration document: UTF-8, four-space indentation, one
// member per line, numbers in their shortest form: the layout of QJsonDocument::Indented at a
// fraction of its cost, without an intermediate tree.
//
// Callers write the members of every object in ascending key order; debug builds assert it.
//
// The output grows as needed from `expectedSize`. Output that would pass `maximumSize` bytes
// throws SizeExceeded, and memory that runs out throws std::bad_alloc; either leaves the writer
// unusable.
class JsonWriter
{
public:
    struct SizeExceeded
    {
    };

    explicit JsonWriter(qsizetype expectedSize = 4096, qsizetype maximumSize = std::numeric_limits<qsizetype>::max() / 2);

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
    qsizetype m_maximumSize;
    QVarLengthArray<Level, 16> m_levels;
    bool m_afterKey = false;
};
