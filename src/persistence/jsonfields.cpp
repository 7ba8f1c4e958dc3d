#include "jsonfields.h"

#include <QJsonValue>

namespace JsonFields {

namespace {

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

bool isBase64Character(char16_t u)
{
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '+' || u == '/';
}

} // namespace

std::optional<QUuid> uuidFromString(QStringView text)
{
    // QUuid::fromString alone accepts braces and trailing text, and answers nil on failure.
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool hyphenSlot = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenSlot ? text[i] != u'-' : !isHexDigit(text[i]))
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

QString uuidString(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QByteArray> bytesFromBase64(QStringView text)
{
    // Checked here rather than by Qt's decoder, which also takes a lone trailing character.
    qsizetype length = text.size();
    qsizetype padding = 0;
    while (length > 0 && text[length - 1] == u'=' && padding < 2) {
        --length;
        ++padding;
    }
    for (qsizetype i = 0; i < length; ++i) {
        if (!isBase64Character(text[i].unicode()))
            return std::nullopt;
    }
    const qsizetype remainder = length % 4;
    if (remainder == 1)
        return std::nullopt;
    if (padding > 0 && (length + padding) % 4 != 0)
        return std::nullopt;
    return QByteArray::fromBase64(text.toLatin1());
}

std::optional<bool> lenientBool(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    return value.isBool() ? std::optional<bool>(value.toBool()) : std::nullopt;
}

std::optional<QString> lenientString(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
}

std::optional<double> lenientNumber(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    return value.isDouble() ? std::optional<double>(value.toDouble()) : std::nullopt;
}

std::optional<QUuid> lenientUuid(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? uuidFromString(value.toString()) : std::nullopt;
}

bool optionalString(const QJsonObject &object, QLatin1String key, std::optional<QString> &out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

bool optionalBase64(const QJsonObject &object, QLatin1String key, std::optional<QByteArray> &out)
{
    std::optional<QString> text;
    if (!optionalString(object, key, text))
        return false;
    if (!text)
        return true;
    out = bytesFromBase64(*text);
    return out.has_value();
}

} // namespace JsonFields
