#include "jsonreader.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Bytes that stand for themselves inside a string: printable ASCII but the quote and backslash.
constexpr std::array<bool, 256> plainStringBytes = [] {
    std::array<bool, 256> table{};
    for (int c = 0x20; c < 0x80; ++c)
        table[c] = c != '"' && c != '\\';
    return table;
}();

bool isPlain(char c)
{
    return plainStringBytes[uchar(c)];
}

// The end of the run of plain string bytes that starts at `p`. Eight bytes at a time while none
// of them is a quote, a backslash, a control character or part of a multi-byte sequence.
const char *plainRunEnd(const char *p, const char *end)
{
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 highs = 0x8080808080808080ULL;
    const auto hasZeroByte = [](quint64 v) { return (v - ones) & ~v & highs; };
    while (end - p >= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        const quint64 special = hasZeroByte(word ^ (ones * '"')) | hasZeroByte(word ^ (ones * '\\'))
            | ((word - ones * 0x20) & ~word & highs) | (word & highs);
        if (special)
            break;
        p += 8;
    }
    while (p < end && isPlain(*p))
        ++p;
    return p;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xc0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3f)));
    } else if (code < 0x10000) {
        out.append(char(0xe0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3f)));
        out.append(char(0x80 | (code & 0x3f)));
    } else {
        out.append(char(0xf0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3f)));
        out.append(char(0x80 | ((code >> 6) & 0x3f)));
        out.append(char(0x80 | (code & 0x3f)));
    }
}

// A number that std::from_chars finds out of range, converted as the C library does (an
// infinity or zero), independently of the process locale.
double outOfRangeNumber(const char *begin, const char *end)
{
    static const locale_t cLocale = ::newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    const std::string copy(begin, end);
    return ::strtod_l(copy.c_str(), nullptr, cLocale);
}

} // namespace

JsonReader::JsonReader(QByteArrayView text)
    : m_begin(text.data())
    , m_position(text.data())
    , m_end(text.data() + text.size())
{
}

bool JsonReader::fail(const char *reason)
{
    if (!m_failed) {
        m_failed = true;
        m_error = QString::fromLatin1(reason);
        m_errorOffset = m_position - m_begin;
    }
    m_position = m_end;
    return false;
}

void JsonReader::skipWhitespaceRun()
{
    // Indented documents are mostly runs of spaces: step over eight at a time.
    static constexpr quint64 eightSpaces = 0x2020202020202020ULL;
    const char *p = m_position;
    while (p < m_end) {
        quint64 word;
        if (m_end - p >= 8 && (std::memcpy(&word, p, 8), word == eightSpaces)) {
            p += 8;
            continue;
        }
        const char c = *p;
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
            break;
        ++p;
    }
    m_position = p;
}

bool JsonReader::expect(char c)
{
    skipWhitespace();
    if (m_position < m_end && *m_position == c) {
        ++m_position;
        return true;
    }
    return false;
}

JsonReader::Type JsonReader::peek()
{
    if (failed())
        return Type::Invalid;
    skipWhitespace();
    if (m_position == m_end)
        return Type::Invalid;
    switch (*m_position) {
    case 'n': return Type::Null;
    case 't':
    case 'f': return Type::Bool;
    case '"': return Type::String;
    case '[': return Type::Array;
    case '{': return Type::Object;
    default: return *m_position == '-' || isDigit(*m_position) ? Type::Number : Type::Invalid;
    }
}

bool JsonReader::readLiteral(const char *literal, qsizetype length)
{
    skipWhitespace();
    if (m_end - m_position < length || std::memcmp(m_position, literal, size_t(length)) != 0)
        return fail("invalid value");
    m_position += length;
    return true;
}

bool JsonReader::readNull()
{
    return readLiteral("null", 4);
}

bool JsonReader::readBool(bool &flag)
{
    skipWhitespace();
    flag = m_position < m_end && *m_position == 't';
    return flag ? readLiteral("true", 4) : readLiteral("false", 5);
}

bool JsonReader::readNumber(double &number)
{
    skipWhitespace();
    const char *const start = m_position;
    const char *p = m_position;
    if (p < m_end && *p == '-')
        ++p;
    if (p < m_end && *p == '0') {
        ++p;
    } else if (p < m_end && isDigit(*p)) {
        while (p < m_end && isDigit(*p))
            ++p;
    } else {
        return fail("invalid number");
    }
    if (p < m_end && *p == '.') {
        ++p;
        if (p == m_end || !isDigit(*p))
            return fail("invalid number");
        while (p < m_end && isDigit(*p))
            ++p;
    }
    if (p < m_end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < m_end && (*p == '+' || *p == '-'))
            ++p;
        if (p == m_end || !isDigit(*p))
            return fail("invalid number");
        while (p < m_end && isDigit(*p))
            ++p;
    }
    const std::from_chars_result result = std::from_chars(start, p, number);
    if (result.ec == std::errc::result_out_of_range)
        number = outOfRangeNumber(start, p);
    else if (result.ec != std::errc() || result.ptr != p)
        return fail("invalid number");
    m_position = p;
    return true;
}

bool JsonReader::readString(QString &text)
{
    return readStringInto(&text, nullptr);
}

bool JsonReader::readUtf8(QByteArrayView &text)
{
    return readStringInto(nullptr, &text, &m_valueBuffer);
}

bool JsonReader::readEscape(char16_t &unit)
{
    // m_position is just past the backslash.
    if (m_position == m_end)
        return fail("unterminated string");
    const char c = *m_position++;
    switch (c) {
    case '"': unit = u'"'; return true;
    case '\\': unit = u'\\'; return true;
    case '/': unit = u'/'; return true;
    case 'b': unit = u'\b'; return true;
    case 'f': unit = u'\f'; return true;
    case 'n': unit = u'\n'; return true;
    case 'r': unit = u'\r'; return true;
    case 't': unit = u'\t'; return true;
    case 'u': {
        if (m_end - m_position < 4)
            return fail("invalid escape");
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(m_position[i]);
            if (digit < 0)
                return fail("invalid escape");
            value = value * 16 + digit;
        }
        m_position += 4;
        unit = char16_t(value);
        return true;
    }
    default:
        --m_position;
        return fail("invalid escape");
    }
}

const char *JsonReader::closingQuote(const char *from) const
{
    // The first quote not escaped by an odd number of backslashes, or the end of the text.
    const char *p = from;
    while (const char *quote = static_cast<const char *>(std::memchr(p, '"', size_t(m_end - p)))) {
        const char *backslash = quote;
        while (backslash > m_position && backslash[-1] == '\\')
            --backslash;
        if ((quote - backslash) % 2 == 0)
            return quote;
        p = quote + 1;
    }
    return m_end;
}

bool JsonReader::readStringInto(QString *text, QByteArrayView *utf8, QByteArray *buffer)
{
    skipWhitespace();
    if (m_position == m_end || *m_position != '"')
        return fail("expected a string");
    ++m_position;

    // Plain ASCII up to the closing quote is by far the most common case.
    const char *p = plainRunEnd(m_position, m_end);
    if (p < m_end && *p == '"') {
        if (text)
            *text = QString::fromLatin1(m_position, p - m_position);
        else
            *utf8 = QByteArrayView(m_position, p - m_position);
        m_position = p + 1;
        return true;
    }

    // Every input byte up to the closing quote gives at most one UTF-16 unit.
    QString decoded;
    char16_t *out = nullptr;
    QByteArray scratch;
    QByteArray &bytes = buffer ? *buffer : scratch;
    if (text) {
        decoded.resize(closingQuote(p) - m_position);
        out = reinterpret_cast<char16_t *>(decoded.data());
    } else {
        bytes.clear();
    }
    const auto appendUnit = [&](char32_t code) {
        if (!text) {
            appendUtf8(bytes, code);
        } else if (code >= 0x10000) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
        } else {
            *out++ = char16_t(code);
        }
    };
    while (true) {
        if (m_position == m_end)
            return fail("unterminated string");
        const uchar c = uchar(*m_position);
        if (c == '"') {
            ++m_position;
            break;
        }
        if (c < 0x20)
            return fail("control character in string");
        if (c == '\\') {
            ++m_position;
            char16_t unit;
            if (!readEscape(unit))
                return false;
            appendUnit(unit);
            continue;
        }
        if (c < 0x80) {
            if (!text) {
                appendUnit(c);
                ++m_position;
                continue;
            }
            // Copy the run of plain characters up to the next special one.
            const char *q = plainRunEnd(m_position, m_end);
            out = std::copy(reinterpret_cast<const uchar *>(m_position), reinterpret_cast<const uchar *>(q), out);
            m_position = q;
            continue;
        }
        // A multi-byte UTF-8 sequence: no overlong forms, no surrogates, nothing past U+10FFFF.
        int length;
        char32_t code;
        char32_t minimum;
        if ((c & 0xe0) == 0xc0) {
            length = 2, code = c & 0x1f, minimum = 0x80;
        } else if ((c & 0xf0) == 0xe0) {
            length = 3, code = c & 0x0f, minimum = 0x800;
        } else if ((c & 0xf8) == 0xf0) {
            length = 4, code = c & 0x07, minimum = 0x10000;
        } else {
            return fail("invalid UTF-8");
        }
        if (m_end - m_position < length)
            return fail("invalid UTF-8");
        for (int i = 1; i < length; ++i) {
            const uchar next = uchar(m_position[i]);
            if ((next & 0xc0) != 0x80)
                return fail("invalid UTF-8");
            code = (code << 6) | (next & 0x3f);
        }
        if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return fail("invalid UTF-8");
        m_position += length;
        appendUnit(code);
    }
    if (text) {
        decoded.truncate(out - reinterpret_cast<const char16_t *>(decoded.constData()));
        *text = std::move(decoded);
    } else {
        *utf8 = bytes;
    }
    return true;
}

bool JsonReader::enter()
{
    if (++m_depth > maximumDepth)
        return fail("nested too deeply");
    m_started.push_back(0);
    return true;
}

bool JsonReader::begin(char open, const char *error)
{
    if (failed())
        return false;
    if (!expect(open))
        return fail(error);
    return enter();
}

bool JsonReader::next(char close, const char *error)
{
    if (failed())
        return false;
    const bool first = m_started.back() == 0;
    if (expect(close)) {
        --m_depth;
        m_started.pop_back();
        return false;
    }
    if (!first && !expect(','))
        return fail(error);
    m_started.back() = 1;
    return true;
}

bool JsonReader::beginObject()
{
    return begin('{', "expected an object");
}

bool JsonReader::nextKey()
{
    if (!next('}', "expected ',' or '}'") || !readStringInto(nullptr, &m_key, &m_keyBuffer))
        return false;
    return expect(':') || fail("expected ':'");
}

bool JsonReader::enterObjectOrSkip()
{
    if (peek() == Type::Object)
        return beginObject();
    skipValue();
    return false;
}

bool JsonReader::beginArray()
{
    return begin('[', "expected an array");
}

bool JsonReader::nextElement()
{
    return next(']', "expected ',' or ']'");
}

bool JsonReader::skipValue()
{
    switch (peek()) {
    case Type::Null:
        return readNull();
    case Type::Bool: {
        bool flag;
        return readBool(flag);
    }
    case Type::Number: {
        double number;
        return readNumber(number);
    }
    case Type::String: {
        QByteArrayView ignored;
        return readStringInto(nullptr, &ignored);
    }
    case Type::Array:
    case Type::Object: {
        const bool isObject = peek() == Type::Object;
        if (!(isObject ? beginObject() : beginArray()))
            return false;
        while (isObject ? nextKey() : nextElement()) {
            if (!skipValue())
                return false;
        }
        return !failed();
    }
    case Type::Invalid:
        break;
    }
    return fail(m_position == m_end ? "unexpected end of text" : "invalid value");
}

bool JsonReader::finish()
{
    if (failed())
        return false;
    skipWhitespace();
    return m_position == m_end || fail("text after the end of the document");
}
