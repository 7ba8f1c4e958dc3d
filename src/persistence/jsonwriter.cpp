#include "jsonwriter.h"

#include <charconv>
#include <cmath>

JsonWriter::JsonWriter(qsizetype expectedSize, qsizetype maximumSize)
    : m_maximumSize(maximumSize)
{
    m_buffer.resize(qMax<qsizetype>(64, qMin(expectedSize, maximumSize + 1)));
}

char *JsonWriter::reserve(qsizetype bytes)
{
    if (m_size + bytes > m_buffer.size()) {
        // Checked only when the buffer must grow (and in take()): `bytes` is an upper bound of
        // what follows, not what is written.
        if (m_size > m_maximumSize)
            throw SizeExceeded();
        m_buffer.resize(qMax(qMin(m_buffer.size() * 2, m_maximumSize + 1), m_size + bytes));
    }
    return m_buffer.data() + m_size;
}

void JsonWriter::append(const char *text, qsizetype length)
{
    std::copy_n(text, length, reserve(length));
    m_size += length;
}

void JsonWriter::newline()
{
    const qsizetype indent = 4 * m_levels.size();
    char *out = reserve(1 + indent);
    *out++ = '\n';
    std::fill_n(out, indent, ' ');
    m_size += 1 + indent;
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.isEmpty())
        return;
    Q_ASSERT(!m_levels.last().isObject);
    if (!m_levels.last().empty)
        append(',');
    m_levels.last().empty = false;
    newline();
}

void JsonWriter::key(QLatin1String name)
{
    Q_ASSERT(!m_levels.isEmpty() && m_levels.last().isObject && !m_afterKey);
    Level &level = m_levels.last();
    Q_ASSERT_X(level.empty || level.lastKey < name, "JsonWriter::key", "members out of order");
    if (!level.empty)
        append(',');
    level.empty = false;
    level.lastKey = name;
    newline();
    // Keys are plain ASCII names that need no escaping.
    append('"');
    append(name.data(), name.size());
    append("\": ", 3);
    m_afterKey = true;
}

void JsonWriter::beginObject()
{
    beforeValue();
    append('{');
    m_levels.append(Level{true, true, {}});
}

void JsonWriter::beginArray()
{
    beforeValue();
    append('[');
    m_levels.append(Level{false, true, {}});
}

void JsonWriter::close(char bracket)
{
    m_levels.removeLast();
    newline();
    append(bracket);
    if (m_levels.isEmpty())
        append('\n');
}

void JsonWriter::endObject()
{
    Q_ASSERT(!m_levels.isEmpty() && m_levels.last().isObject && !m_afterKey);
    close('}');
}

void JsonWriter::endArray()
{
    Q_ASSERT(!m_levels.isEmpty() && !m_levels.last().isObject);
    close(']');
}

void JsonWriter::value(QStringView text)
{
    beforeValue();
    appendQuoted(text);
}

void JsonWriter::value(QLatin1String text)
{
    beforeValue();
    append('"');
    append(text.data(), text.size());
    append('"');
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    if (flag)
        append("true", 4);
    else
        append("false", 5);
}

void JsonWriter::value(double number)
{
    Q_ASSERT(std::isfinite(number));
    beforeValue();
    char *out = reserve(32);
    // Integral values within 64 bits are written as integers, others in the shorter of the
    // fixed and scientific forms.
    std::to_chars_result result;
    if (number >= -9223372036854775808.0 && number < 9223372036854775808.0 && number == std::trunc(number))
        result = std::to_chars(out, out + 32, qint64(number));
    else
        result = std::to_chars(out, out + 32, number);
    m_size += result.ptr - out;
}

void JsonWriter::value(const QUuid &id)
{
    beforeValue();
    static constexpr char hex[] = "0123456789ABCDEF";
    char *out = reserve(38);
    *out++ = '"';
    const auto put = [&out](quint64 bits, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            *out++ = hex[(bits >> shift) & 0xf];
    };
    put(id.data1, 8);
    *out++ = '-';
    put(id.data2, 4);
    *out++ = '-';
    put(id.data3, 4);
    *out++ = '-';
    put((quint64(id.data4[0]) << 8) | id.data4[1], 4);
    *out++ = '-';
    for (int i = 2; i < 8; ++i)
        put(id.data4[i], 2);
    *out++ = '"';
    m_size += 38;
}

void JsonWriter::nullValue()
{
    beforeValue();
    append("null", 4);
}

void JsonWriter::appendQuoted(QStringView text)
{
    static constexpr char hex[] = "0123456789abcdef";
    // At most six bytes per UTF-16 unit ("\u00XX"), plus the quotes.
    char *const start = reserve(6 * text.size() + 2);
    char *out = start;
    *out++ = '"';
    const char16_t *in = text.utf16();
    const char16_t *const end = in + text.size();
    while (in < end) {
        const char16_t c = *in++;
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            *out++ = char(c);
            continue;
        }
        if (c < 0x80) {
            *out++ = '\\';
            switch (c) {
            case '"': *out++ = '"'; break;
            case '\\': *out++ = '\\'; break;
            case '\b': *out++ = 'b'; break;
            case '\f': *out++ = 'f'; break;
            case '\n': *out++ = 'n'; break;
            case '\r': *out++ = 'r'; break;
            case '\t': *out++ = 't'; break;
            default:
                *out++ = 'u';
                *out++ = '0';
                *out++ = '0';
                *out++ = hex[c >> 4];
                *out++ = hex[c & 0xf];
            }
            continue;
        }
        if (c < 0x800) {
            *out++ = char(0xc0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3f));
            continue;
        }
        if (QChar::isHighSurrogate(c) && in < end && QChar::isLowSurrogate(*in)) {
            const char32_t code = QChar::surrogateToUcs4(c, *in++);
            *out++ = char(0xf0 | (code >> 18));
            *out++ = char(0x80 | ((code >> 12) & 0x3f));
            *out++ = char(0x80 | ((code >> 6) & 0x3f));
            *out++ = char(0x80 | (code & 0x3f));
            continue;
        }
        if (QChar::isSurrogate(c)) {
            // A lone surrogate has no UTF-8 form; the escape keeps the text as it was.
            *out++ = '\\';
            *out++ = 'u';
            for (int shift = 12; shift >= 0; shift -= 4)
                *out++ = hex[(c >> shift) & 0xf];
            continue;
        }
        *out++ = char(0xe0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3f));
        *out++ = char(0x80 | (c & 0x3f));
    }
    *out++ = '"';
    m_size += out - start;
}

QByteArray JsonWriter::take()
{
    if (m_size > m_maximumSize)
        throw SizeExceeded();
    m_buffer.truncate(m_size);
    m_size = 0;
    return std::move(m_buffer);
}
