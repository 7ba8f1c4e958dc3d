#pragma once

#include <QByteArrayView>
#include <QLatin1String>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <string_view>

class JsonNumber;

// A pull reader of strict JSON (RFC 8259) in UTF-8 for decoders that build their values
// directly, over simdjson's On Demand parser. A leading UTF-8 byte-order mark is skipped.
//
// Every value is read or skipped exactly once, and both check it in full: On Demand by
// itself would step over the inside of a value nobody reads. The first syntax error (bad
// UTF-8, a control character in a string, a malformed number or literal, a broken structure,
// text after the top-level value) or nesting deeper than `maximumDepth` stops the reader for
// good: every later call fails, and the caller treats the whole text as unreadable.
//
// A well-formed value that cannot be represented is different: a number no double can hold
// (1e400, or 1e-400, which would round to zero) or a string with a lone surrogate escape
// ("\ud800") is only refused. The read answers false, as for a value of another type, and the
// reader goes on.
class JsonReader
{
public:
    enum class Type { Null, Bool, Number, String, Array, Object, Invalid };

    static constexpr int maximumDepth = 512;

    // The text is copied (the parser needs padding after it).
    explicit JsonReader(QByteArrayView text);
    ~JsonReader();
    JsonReader(const JsonReader &) = delete;
    JsonReader &operator=(const JsonReader &) = delete;

    // The type of the current value: the top-level one, or the one after nextKey() or
    // nextElement(). Only an object or an array at the top level can be read.
    Type peek();

    // Each read consumes the current value whatever it is, and answers whether it was of the
    // type asked for and representable.
    bool readNull();
    bool readBool(bool &flag);
    bool readNumber(double &number);
    // A number whose value is an integer, of any size, saturated to the range of qint64.
    bool readInteger(qint64 &number);
    bool readString(QString &text);
    // The string as UTF-8, valid as long as the reader.
    bool readUtf8(std::string_view &text);

    // Objects: beginObject(), then nextKey() until it answers false (at the closing brace or on
    // an error). A value that is not read after its key is skipped by the next call.
    bool beginObject();
    // Opens the current value when it is an object; otherwise consumes it and answers false.
    bool enterObjectOrSkip();
    bool nextKey();
    // Whether the key last read by nextKey() is `name`. A key with a lone surrogate escape
    // matches no name.
    bool keyIs(QLatin1String name) const { return m_key == std::string_view(name.data(), size_t(name.size())); }

    // Arrays: beginArray(), then nextElement() until it answers false.
    bool beginArray();
    bool nextElement();

    // Consumes the current value, checking it in full.
    bool skipValue();

    // After the top-level value: whether nothing but white space follows.
    bool finish();

    bool failed() const { return m_failed; }
    // What went wrong, in the parser's words, and the byte offset where it did; -1 when the
    // parser names no place (invalid UTF-8 or an unclosed string anywhere in the text).
    QString errorString() const { return m_error; }
    qsizetype errorOffset() const { return m_errorOffset; }

private:
    struct Parser;

    // The error codes are simdjson's (an int here, to keep its header out of this one).
    bool fail(int errorCode, const char *at);
    bool failAtParserLocation(int errorCode);
    // Whether the current value is a readable scalar of `type`; any other value is consumed.
    bool atScalar(Type type);
    // The current value's token when it is a well-formed number, consumed; none for any other
    // value (consumed too).
    std::optional<JsonNumber> takeNumber();
    std::string_view currentToken();
    bool begin(Type type);
    bool next();
    void leave();

    std::unique_ptr<Parser> m_parser;
    std::string_view m_key;
    int m_depth = 0;
    bool m_failed = false;
    QString m_error;
    qsizetype m_errorOffset = -1;
};
