#include "jsonfields.h"

#include <array>


namespace JsonFields {

namespace {

// Hexadecimal digit values, -1 for every other character.
constexpr std::array<qint8, 256> hexDigits = [] {
    std::array<qint8, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 10; ++i)
        table['0' + i] = qint8(i);
    for (int i = 0; i < 6; ++i) {
        table['a' + i] = qint8(10 + i);
        table['A' + i] = qint8(10 + i);
    }
    return table;
}();

int hexValue(char16_t u)
{
    return u < 256 ? hexDigits[u] : -1;
}

char16_t unitAt(QStringView text, qsizetype i)
{
    return text[i].unicode();
}

char16_t unitAt(QByteArrayView text, qsizetype i)
{
    return uchar(text[i]);
}

// QUuid::fromString alone accepts braces and trailing text, and answers nil on failure.
template<typename Text>
std::optional<QUuid> parseUuid(const Text &text)
{
    if (text.size() != 36)
        return std::nullopt;
    uchar bytes[16];
    int count = 0;
    for (qsizetype i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (unitAt(text, i) != u'-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int high = hexValue(unitAt(text, i));
        const int low = hexValue(unitAt(text, i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[count++] = uchar(high << 4 | low);
        i += 2;
    }
    return QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char *>(bytes), 16));
}

bool isBase64Character(char16_t u)
{
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '+' || u == '/';
}

// The current value when the reader takes it as a T; none for any other value.
template<typename T, typename Read>
std::optional<T> readIf(Read read)
{
    T value;
    if (read(value))
        return value;
    return std::nullopt;
}

} // namespace

std::optional<QUuid> uuidFromString(QStringView text)
{
    return parseUuid(text);
}

std::optional<QUuid> uuidFromString(QByteArrayView text)
{
    return parseUuid(text);
}

std::optional<QByteArray> bytesFromBase64(QByteArrayView text)
{
    // Checked here rather than by Qt's decoder, which also takes a lone trailing character.
    qsizetype length = text.size();
    qsizetype padding = 0;
    while (length > 0 && text[length - 1] == '=' && padding < 2) {
        --length;
        ++padding;
    }
    for (qsizetype i = 0; i < length; ++i) {
        if (!isBase64Character(uchar(text[i])))
            return std::nullopt;
    }
    const qsizetype remainder = length % 4;
    if (remainder == 1)
        return std::nullopt;
    if (padding > 0 && (length + padding) % 4 != 0)
        return std::nullopt;
    return QByteArray::fromBase64(text.toByteArray());
}

std::optional<bool> lenientBool(JsonReader &reader)
{
    return readIf<bool>([&](bool &flag) { return reader.readBool(flag); });
}

std::optional<QString> lenientString(JsonReader &reader)
{
    return readIf<QString>([&](QString &text) { return reader.readString(text); });
}

std::optional<double> lenientNumber(JsonReader &reader)
{
    return readIf<double>([&](double &number) { return reader.readNumber(number); });
}

std::optional<QUuid> lenientUuid(JsonReader &reader)
{
    const std::optional<std::string_view> text = readIf<std::string_view>([&](std::string_view &view) { return reader.readUtf8(view); });
    return text ? uuidFromString(QByteArrayView(text->data(), qsizetype(text->size()))) : std::nullopt;
}

bool optionalString(JsonReader &reader, std::optional<QString> &out)
{
    out.reset();
    if (reader.peek() == JsonReader::Type::Null)
        return reader.readNull();
    out = lenientString(reader);
    return out.has_value();
}

bool optionalBase64(JsonReader &reader, std::optional<QByteArray> &out)
{
    out.reset();
    if (reader.peek() == JsonReader::Type::Null)
        return reader.readNull();
    std::string_view text;
    if (!reader.readUtf8(text))
        return false;
    out = bytesFromBase64(QByteArrayView(text.data(), qsizetype(text.size())));
    return out.has_value();
}

} // namespace JsonFields
