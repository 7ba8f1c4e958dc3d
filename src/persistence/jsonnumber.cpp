#include "jsonnumber.h"

#include <charconv>
#include <limits>

namespace {

// Far above any digit count a readable file can have, far below overflow when added to one.
constexpr qint64 exponentLimit = qint64(1) << 40;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The index just past the run of digits that starts at `from`.
size_t digitsEnd(std::string_view text, size_t from)
{
    while (from < text.size() && isDigit(text[from]))
        ++from;
    return from;
}

} // namespace

std::optional<JsonNumber> JsonNumber::parse(std::string_view token)
{
    JsonNumber number;
    number.m_token = token;
    size_t i = 0;
    if (i < token.size() && token[i] == '-') {
        number.m_negative = true;
        ++i;
    }
    const size_t integerStart = i;
    if (i < token.size() && token[i] == '0')
        ++i;
    else if (i < token.size() && isDigit(token[i]))
        i = digitsEnd(token, i);
    else
        return std::nullopt;
    number.m_integerDigits = token.substr(integerStart, i - integerStart);

    if (i < token.size() && token[i] == '.') {
        const size_t fractionStart = ++i;
        i = digitsEnd(token, i);
        if (i == fractionStart)
            return std::nullopt;
        number.m_fractionDigits = token.substr(fractionStart, i - fractionStart);
    }

    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
            negativeExponent = token[i++] == '-';
        const size_t exponentStart = i;
        for (; i < token.size() && isDigit(token[i]); ++i)
            number.m_exponent = std::min(number.m_exponent * 10 + (token[i] - '0'), exponentLimit);
        if (i == exponentStart)
            return std::nullopt;
        if (negativeExponent)
            number.m_exponent = -number.m_exponent;
    }
    if (i != token.size())
        return std::nullopt;
    return number;
}

std::optional<double> JsonNumber::toDouble() const
{
    // Correctly rounded and independent of the locale; out of range either way means that no
    // double holds the number.
    double value = 0;
    const char *end = m_token.data() + m_token.size();
    const std::from_chars_result result = std::from_chars(m_token.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

std::optional<qint64> JsonNumber::toInteger() const
{
    // The digits of the integer and the fraction part as one run, worth run × 10^scale.
    const qint64 integerCount = qint64(m_integerDigits.size());
    const qint64 count = integerCount + qint64(m_fractionDigits.size());
    const auto digit = [&](qint64 i) {
        return i < integerCount ? m_integerDigits[size_t(i)] - '0' : m_fractionDigits[size_t(i - integerCount)] - '0';
    };
    qint64 first = 0;
    while (first < count && digit(first) == 0)
        ++first;
    if (first == count)
        return 0;
    qint64 last = count - 1;
    while (digit(last) == 0)
        --last;
    // The significant digits first..last, followed by `scale` zeros.
    const qint64 scale = m_exponent - qint64(m_fractionDigits.size()) + (count - 1 - last);
    if (scale < 0)
        return std::nullopt;

    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    const auto saturated = [&] { return m_negative ? std::numeric_limits<qint64>::min() : largest; };
    // Nineteen digits and more may not fit; twenty never do.
    if (last - first + 1 + scale > 19)
        return saturated();
    quint64 magnitude = 0;
    for (qint64 i = first; i <= last; ++i)
        magnitude = magnitude * 10 + quint64(digit(i));
    for (qint64 i = 0; i < scale; ++i)
        magnitude *= 10;
    if (magnitude > quint64(largest))
        return m_negative && magnitude == quint64(largest) + 1 ? std::numeric_limits<qint64>::min() : saturated();
    return m_negative ? -qint64(magnitude) : qint64(magnitude);
}
