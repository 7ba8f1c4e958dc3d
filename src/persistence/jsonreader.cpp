#include "jsonreader.h"

#include "jsonnumber.h"

#include <simdjson.h>

#include <cstring>
#include <optional>
#include <vector>

namespace ondemand = simdjson::ondemand;

namespace {

constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether every escape of the string whose text starts at `p` (just past its opening quote) is
// one of JSON's. The parser refuses a string with a lone surrogate escape in the same words as
// one with a broken escape; only the second is a syntax error.
bool escapesAreWellFormed(const char *p, const char *end)
{
    while (p < end && *p != '"') {
        if (*p != '\\') {
            ++p;
            continue;
        }
        if (end - p < 2)
            return false;
        switch (p[1]) {
        case '"': case '\\': case '/': case 'b': case 'f': case 'n': case 'r': case 't':
            p += 2;
            break;
        case 'u':
            if (end - p < 6 || !isHexDigit(p[2]) || !isHexDigit(p[3]) || !isHexDigit(p[4]) || !isHexDigit(p[5]))
                return false;
            p += 6;
            break;
        default:
            return false;
        }
    }
    return p < end;
}

// The text of a string that starts at `p` (just past its opening quote) when it holds no
// escape: most do, and need no copy. The parser has checked that it is closed and valid UTF-8.
std::optional<std::string_view> plainString(const char *p, const char *end)
{
    const auto *quote = static_cast<const char *>(std::memchr(p, '"', size_t(end - p)));
    if (!quote || std::memchr(p, '\\', size_t(quote - p)))
        return std::nullopt;
    return std::string_view(p, size_t(quote - p));
}

// The parser's message as part of a sentence: "the input is not valid UTF-8".
QString describe(int errorCode)
{
    QString text = QString::fromUtf8(simdjson::error_message(simdjson::error_code(errorCode)));
    if (text.endsWith(u'.'))
        text.chop(1);
    if (!text.isEmpty() && !text.startsWith(u"JSON"))
        text[0] = text[0].toLower();
    return text;
}

JsonReader::Type typeOf(ondemand::json_type type)
{
    switch (type) {
    case ondemand::json_type::array: return JsonReader::Type::Array;
    case ondemand::json_type::object: return JsonReader::Type::Object;
    case ondemand::json_type::number: return JsonReader::Type::Number;
    case ondemand::json_type::string: return JsonReader::Type::String;
    case ondemand::json_type::boolean: return JsonReader::Type::Bool;
    case ondemand::json_type::null: return JsonReader::Type::Null;
    }
    return JsonReader::Type::Invalid;
}

} // namespace

struct JsonReader::Parser
{
    // One open object or array.
    struct Container
    {
        bool isObject = false;
        bool started = false;
        ondemand::object_iterator field;
        ondemand::object_iterator fieldsEnd;
        ondemand::array_iterator element;
        ondemand::array_iterator elementsEnd;
    };

    simdjson::padded_string text;
    // Bytes of the input before `text` (a byte-order mark), for error offsets.
    qsizetype skipped = 0;
    ondemand::parser parser;
    ondemand::document document;
    // The current value; at the top level only when that is an object or an array.
    ondemand::value value;
    bool topLevelIsScalar = false;
    // Whether the current value is still to be read or skipped.
    bool pending = false;
    std::vector<Container> containers;

    const char *end() const { return text.data() + text.size(); }
};

JsonReader::JsonReader(QByteArrayView text)
    : m_parser(std::make_unique<Parser>())
{
    Parser &p = *m_parser;
    if (text.startsWith(byteOrderMark)) {
        text = text.sliced(byteOrderMark.size());
        p.skipped = byteOrderMark.size();
    }
    p.text = simdjson::padded_string(text.data(), size_t(text.size()));
    if (!p.text.data()) {
        fail(simdjson::MEMALLOC, nullptr);
        return;
    }
    if (const simdjson::error_code error = p.parser.iterate(p.text).get(p.document)) {
        // Invalid UTF-8, control characters in strings and unclosed strings are found here,
        // before any value is read; the parser names no place for them.
        fail(error, nullptr);
        return;
    }
    ondemand::json_type type;
    if (const simdjson::error_code error = p.document.type().get(type)) {
        failAtParserLocation(error);
        return;
    }
    p.pending = true;
    p.topLevelIsScalar = type != ondemand::json_type::object && type != ondemand::json_type::array;
    if (!p.topLevelIsScalar) {
        if (const simdjson::error_code error = p.document.get_value().get(p.value))
            failAtParserLocation(error);
    }
}

JsonReader::~JsonReader() = default;

bool JsonReader::fail(int errorCode, const char *at)
{
    if (!m_failed) {
        m_failed = true;
        m_error = describe(errorCode);
        m_errorOffset = at ? qsizetype(at - m_parser->text.data()) + m_parser->skipped : -1;
    }
    m_parser->pending = false;
    return false;
}

bool JsonReader::failAtParserLocation(int errorCode)
{
    const simdjson::simdjson_result<const char *> location = m_parser->document.current_location();
    return fail(errorCode, location.error() ? nullptr : location.value_unsafe());
}

std::string_view JsonReader::currentToken()
{
    std::string_view token = m_parser->value.raw_json_token();
    // The token runs up to the next one, white space included.
    while (!token.empty() && (token.back() == ' ' || token.back() == '\n' || token.back() == '\r' || token.back() == '\t'))
        token.remove_suffix(1);
    return token;
}

JsonReader::Type JsonReader::peek()
{
    Parser &p = *m_parser;
    if (m_failed || !p.pending)
        return Type::Invalid;
    ondemand::json_type type;
    const simdjson::error_code error = p.topLevelIsScalar ? p.document.type().get(type) : p.value.type().get(type);
    if (error) {
        failAtParserLocation(error);
        return Type::Invalid;
    }
    return typeOf(type);
}

bool JsonReader::atScalar(Type type)
{
    const Type found = peek();
    if (found == type && !m_parser->topLevelIsScalar)
        return true;
    if (found != Type::Invalid && m_parser->topLevelIsScalar)
        fail(simdjson::SCALAR_DOCUMENT_AS_VALUE, m_parser->text.data());
    else if (found != Type::Invalid)
        skipValue();
    return false;
}

bool JsonReader::readNull()
{
    if (!atScalar(Type::Null))
        return false;
    bool isNull = false;
    if (m_parser->value.is_null().get(isNull) || !isNull)
        return fail(simdjson::N_ATOM_ERROR, currentToken().data());
    m_parser->pending = false;
    return true;
}

bool JsonReader::readBool(bool &flag)
{
    if (!atScalar(Type::Bool))
        return false;
    if (m_parser->value.get_bool().get(flag)) {
        const std::string_view token = currentToken();
        return fail(token.starts_with('t') ? simdjson::T_ATOM_ERROR : simdjson::F_ATOM_ERROR, token.data());
    }
    m_parser->pending = false;
    return true;
}

std::optional<JsonNumber> JsonReader::takeNumber()
{
    if (!atScalar(Type::Number))
        return std::nullopt;
    // Judged and converted from the token here: simdjson 3.0.1 misreads "0." followed by more
    // than 19 significant digits (0.30000000000000000001 as 0.1155...). The token itself is
    // left to the parser, which steps over it when iterating on.
    const std::string_view token = currentToken();
    std::optional<JsonNumber> number = JsonNumber::parse(token);
    if (!number) {
        fail(simdjson::NUMBER_ERROR, token.data());
        return std::nullopt;
    }
    m_parser->pending = false;
    return number;
}

bool JsonReader::readNumber(double &number)
{
    const std::optional<JsonNumber> token = takeNumber();
    const std::optional<double> value = token ? token->toDouble() : std::nullopt;
    if (value)
        number = *value;
    return value.has_value();
}

bool JsonReader::readInteger(qint64 &number)
{
    const std::optional<JsonNumber> token = takeNumber();
    const std::optional<qint64> value = token ? token->toInteger() : std::nullopt;
    if (value)
        number = *value;
    return value.has_value();
}

bool JsonReader::readString(QString &text)
{
    std::string_view utf8;
    if (!readUtf8(utf8))
        return false;
    text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    return true;
}

bool JsonReader::readUtf8(std::string_view &text)
{
    if (!atScalar(Type::String))
        return false;
    Parser &p = *m_parser;
    const char *quote = currentToken().data();
    p.pending = false;
    // The token is consumed before anything else: left to the parser, a string followed by a
    // colon would be stepped over as if it were a key, and ["a": 1], 2] would pass.
    ondemand::raw_json_string raw;
    (void)p.value.get_raw_json_string().get(raw);
    // A plain string is taken from the text as it is.
    if (const std::optional<std::string_view> plain = plainString(quote + 1, p.end())) {
        text = *plain;
        return true;
    }
    if (!p.value.get_string().get(text))
        return true;
    if (!escapesAreWellFormed(quote + 1, p.end()))
        return fail(simdjson::STRING_ERROR, quote);
    return false;
}

bool JsonReader::begin(Type type)
{
    Parser &p = *m_parser;
    const Type found = peek();
    if (found != type || p.topLevelIsScalar) {
        if (found != Type::Invalid)
            fail(simdjson::INCORRECT_TYPE, p.topLevelIsScalar ? p.text.data() : currentToken().data());
        return false;
    }
    if (m_depth >= maximumDepth)
        return fail(simdjson::DEPTH_ERROR, currentToken().data());

    Parser::Container container;
    container.isObject = type == Type::Object;
    simdjson::error_code error;
    if (container.isObject) {
        ondemand::object object;
        error = p.value.get_object().get(object);
        if (!error)
            error = object.begin().get(container.field);
        if (!error)
            error = object.end().get(container.fieldsEnd);
    } else {
        ondemand::array array;
        error = p.value.get_array().get(array);
        if (!error)
            error = array.begin().get(container.element);
        if (!error)
            error = array.end().get(container.elementsEnd);
    }
    if (error)
        return failAtParserLocation(error);
    p.pending = false;
    p.containers.push_back(container);
    ++m_depth;
    return true;
}

bool JsonReader::next()
{
    Parser &p = *m_parser;
    if (p.pending)
        skipValue();
    if (m_failed || p.containers.empty())
        return false;
    Parser::Container &container = p.containers.back();
    if (container.started) {
        if (container.isObject)
            ++container.field;
        else
            ++container.element;
    }
    container.started = true;
    // An iterator that met an error stays open, and dereferencing it reports the error.
    const bool open = container.isObject ? container.field != container.fieldsEnd : container.element != container.elementsEnd;
    if (!open) {
        leave();
        return false;
    }
    if (!container.isObject) {
        if (const simdjson::error_code error = (*container.element).get(p.value))
            return failAtParserLocation(error);
        p.pending = true;
        return true;
    }

    ondemand::field field;
    if (const simdjson::error_code error = (*container.field).get(field))
        return failAtParserLocation(error);
    const char *keyText = field.key().raw();
    if (const std::optional<std::string_view> plain = plainString(keyText, p.end())) {
        m_key = *plain;
    } else if (field.unescaped_key().get(m_key)) {
        if (!escapesAreWellFormed(keyText, p.end()))
            return fail(simdjson::STRING_ERROR, keyText - 1);
        m_key = {};
    }
    p.value = field.value();
    p.pending = true;
    return true;
}

void JsonReader::leave()
{
    m_parser->containers.pop_back();
    --m_depth;
}

bool JsonReader::beginObject()
{
    return begin(Type::Object);
}

bool JsonReader::enterObjectOrSkip()
{
    if (peek() == Type::Object)
        return beginObject();
    skipValue();
    return false;
}

bool JsonReader::nextKey()
{
    return !m_parser->containers.empty() && m_parser->containers.back().isObject && next();
}

bool JsonReader::beginArray()
{
    return begin(Type::Array);
}

bool JsonReader::nextElement()
{
    return !m_parser->containers.empty() && !m_parser->containers.back().isObject && next();
}

bool JsonReader::skipValue()
{
    switch (const Type type = peek()) {
    case Type::Null:
        return readNull();
    case Type::Bool: {
        bool flag;
        return readBool(flag);
    }
    case Type::Number:
        takeNumber();
        return !m_failed;
    case Type::String: {
        // A string the parser refuses is still well formed.
        std::string_view text;
        readUtf8(text);
        return !m_failed;
    }
    case Type::Array:
    case Type::Object:
        if (!begin(type))
            return false;
        while (next()) {
        }
        return !m_failed;
    case Type::Invalid:
        break;
    }
    return false;
}

bool JsonReader::finish()
{
    if (m_failed)
        return false;
    const simdjson::simdjson_result<const char *> location = m_parser->document.current_location();
    // Out of bounds: every token has been read.
    return location.error() || fail(simdjson::TRAILING_CONTENT, location.value_unsafe());
}
