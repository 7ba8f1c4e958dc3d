#pragma once

#include "jsonreader.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>

// Reading the scalar values of the configuration document. Every reader consumes exactly one
// value, whatever its type.
namespace JsonFields {

// A UUID in the hyphenated 8-4-4-4-12 form, any letter case, nothing before or after.
std::optional<QUuid> uuidFromString(QStringView text);
std::optional<QUuid> uuidFromString(QByteArrayView text);

// Standard Base64 (padding optional); none for anything else.
std::optional<QByteArray> bytesFromBase64(QByteArrayView text);

// Lenient readers: null, a value of another JSON type or one the reader refuses reads as none.
std::optional<bool> lenientBool(JsonReader &reader);
std::optional<QString> lenientString(JsonReader &reader);
std::optional<double> lenientNumber(JsonReader &reader);
std::optional<QUuid> lenientUuid(JsonReader &reader);

// Strict readers of optional values: null leaves `out` empty and succeeds; a value of another
// type, one the reader refuses, or text that is not Base64 fails.
bool optionalString(JsonReader &reader, std::optional<QString> &out);
bool optionalBase64(JsonReader &reader, std::optional<QByteArray> &out);

} // namespace JsonFields
