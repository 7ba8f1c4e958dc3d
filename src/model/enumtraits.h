#pragma once

#include <QLatin1String>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <utility>

// Enumerations that are persisted by their case names specialise EnumTraits with a table
// of (case, raw value) pairs in declaration order; that order is the order of pickers and menus.
template<typename E>
struct EnumTraits;

template<typename E>
QString rawValue(E value)
{
    for (const auto &[candidate, name] : EnumTraits<E>::table) {
        if (candidate == value)
            return QLatin1String(name);
    }
    return {};
}

// The case whose raw value equals `text` exactly (case-sensitive); none for any other string.
template<typename E>
std::optional<E> enumFromRawValue(QStringView text)
{
    for (const auto &[candidate, name] : EnumTraits<E>::table) {
        if (text == QLatin1String(name))
            return candidate;
    }
    return std::nullopt;
}

template<typename E>
QList<E> allCases()
{
    QList<E> cases;
    cases.reserve(qsizetype(EnumTraits<E>::table.size()));
    for (const auto &entry : EnumTraits<E>::table)
        cases.append(entry.first);
    return cases;
}
