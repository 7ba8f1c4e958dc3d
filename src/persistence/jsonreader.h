#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1String>
#include <QString>

#include <vector>

// A pull parser for strict JSON (RFC 8259) in UTF-8, for decoders that build their values
// directly instead of going through a document tree.
//
// The first syntax error, invalid UTF-8 or nesting deeper than `maximumDepth` stops the reader
// for good: every later call fails, and the caller treats the whole text as unreadable. Numbers
// too large for a double read as infinities.
class JsonReader
{
public:
    enum class Type { Null, Bool, Number, String, Array, Object, Invalid };

    static constexpr int maximumDepth = 512;

    explicit JsonReader(QByteArrayView text);

    // The type of the next value, judged by its first character.
    Type peek();

    bool readNull();
    bool readBool(bool &flag);
    bool readNumber(double &number);
    bool readString(QString &text);
    // The string as UTF-8, valid until the next read.
    bool readUtf8(QByteArrayView &text);

    // Objects: beginObject(), then nextKey() until it answers false (at the closing brace or on
    // an error); a value must be read or skipped after every key.
    bool beginObject();
    // Opens the next value when it is an object; otherwise consumes it and answers false.
    bool enterObjectOrSkip();
    bool nextKey();
    // The key last read by nextKey().
    bool keyIs(QLatin1String name) const { return m_key == QByteArrayView(name.data(), name.size()); }

    // Arrays: beginArray(), then nextElement() until it answers false.
    bool beginArray();
    bool nextElement();

    // Consumes the next value of any type, nested ones included.
    bool skipValue();

    // After the top-level value: whether only white space follows.
    bool finish();

    bool failed() const { return m_failed; }
    // What went wrong and the byte offset where it did.
    QString errorString() const { return m_error; }
    qsizetype errorOffset() const { return m_errorOffset; }

private:
    bool fail(const char *reason);
    void skipWhitespace()
    {
        // Most calls find a token already, often right after a previous skip.
        if (m_position < m_end && uchar(*m_position) > ' ')
            return;
        skipWhitespaceRun();
    }
    void skipWhitespaceRun();
    bool expect(char c);
    // Reads a string into `text`, or as UTF-8 into `utf8` (set to the raw input where it needs
    // no decoding, else to `buffer`).
    bool readStringInto(QString *text, QByteArrayView *utf8, QByteArray *buffer = nullptr);
    bool readEscape(char16_t &unit);
    const char *closingQuote(const char *from) const;
    bool readLiteral(const char *literal, qsizetype length);
    bool enter();
    bool begin(char open, const char *error);
    // The next member or element of the innermost container; false at its end.
    bool next(char close, const char *error);

    const char *m_begin;
    const char *m_position;
    const char *m_end;
    QByteArrayView m_key;
    QByteArray m_keyBuffer;
    QByteArray m_valueBuffer;
    int m_depth = 0;
    // Per open container: whether its first member or element was read.
    std::vector<char> m_started;
    bool m_failed = false;
    QString m_error;
    qsizetype m_errorOffset = -1;
};
