#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>

// Reading and writing the scalar values of the configuration document.
namespace JsonFields {

// A UUID in the hyphenated 8-4-4-4-12 form, any letter case, nothing before or after.
std::optional<QUuid> uuidFromString(QStringView text);
// Upper-case, hyphenated, without braces.
QString uuidString(const QUuid &id);

// Standard Base64 (padding optional); none for anything else.
std::optional<QByteArray> bytesFromBase64(QStringView text);

// Lenient readers: a missing key, null or a value of another JSON type reads as none.
std::optional<bool> lenientBool(const QJsonObject &object, QLatin1String key);
std::optional<QString> lenientString(const QJsonObject &object, QLatin1String key);
std::optional<double> lenientNumber(const QJsonObject &object, QLatin1String key);
std::optional<QUuid> lenientUuid(const QJsonObject &object, QLatin1String key);

// Strict readers of optional values: a missing key or null leaves `out` empty and succeeds;
// a value of another type (or text that is not Base64) fails.
bool optionalString(const QJsonObject &object, QLatin1String key, std::optional<QString> &out);
bool optionalBase64(const QJsonObject &object, QLatin1String key, std::optional<QByteArray> &out);

} // namespace JsonFields
