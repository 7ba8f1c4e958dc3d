#pragma once

#include <QtGlobal>

#include <optional>
#include <string_view>

// JSON number tokens: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
//
// The parser only finds where a number token starts and ends; whether it is well formed, and
// what it is worth, is decided here from its text.
class JsonNumber
{
public:
    // None when `token` is not a number in JSON's grammar.
    static std::optional<JsonNumber> parse(std::string_view token);

    // The double nearest to the number; none when a double cannot hold it (beyond about
    // 1.8e308, or so small that it would round to zero).
    std::optional<double> toDouble() const;

    // The number when its value is an integer, of any size (1.6e1 and 16.0 are 16; 1e400 is an
    // integer too), saturated to the range of qint64; none when it has a fractional part.
    std::optional<qint64> toInteger() const;

private:
    JsonNumber() = default;

    std::string_view m_token;
    bool m_negative = false;
    std::string_view m_integerDigits;
    std::string_view m_fractionDigits;
    // Saturated far beyond what any digit string could make up for.
    qint64 m_exponent = 0;
};
