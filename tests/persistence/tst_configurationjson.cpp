// The JSON text of the configuration document: what is a syntax error wherever it stands, what
// the parser refuses without failing the document, and the reasons given for unreadable text.

#include "documentfixtures.h"

#include "persistence/configurationdocument.h"

#include <QTest>

#include <limits>

using namespace DocumentFixtures;
using namespace Qt::StringLiterals;

class TestConfigurationJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void jsonSyntax_data();
    void jsonSyntax();
    void syntaxErrorsAnywhere_data();
    void syntaxErrorsAnywhere();
    void schemaVersion_data();
    void schemaVersion();
    void reasons_data();
    void reasons();
};

void TestConfigurationJson::jsonSyntax_data()
{
    // The value of a panel's "name"; an unreadable document yields "<unreadable>".
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("name");

    const QString unreadable = u"<unreadable>"_s;
    QTest::newRow("escapes") << QByteArray(R"("a\"b\\c\/d\b\f\n\r\t")") << u"a\"b\\c/d\b\f\n\r\t"_s;
    QTest::newRow("unicode escapes") << QByteArray(R"("\u00e9\u65E5")") << u"é日"_s;
    QTest::newRow("surrogate pair escape") << QByteArray(R"("\ud83d\ude80")") << u"🚀"_s;
    QTest::newRow("escaped NUL") << QByteArray(R"("a\u0000b")") << u"a"_s + QChar(0) + u"b"_s;
    QTest::newRow("raw UTF-8") << QByteArray("\"Zürich 🚀\"") << u"Zürich 🚀"_s;
    QTest::newRow("escaped quote before non-ASCII") << QByteArray(R"("\"é\"")") << u"\"é\""_s;
    QTest::newRow("white space around tokens") << QByteArray(" \t\r\n\"n\" \n") << u"n"_s;
    QTest::newRow("number is not a name") << QByteArray("-0.5e+3") << u"Panel 1"_s;
    QTest::newRow("nested value is not a name") << QByteArray(R"({"a": [1, {"b": null}]})") << u"Panel 1"_s;
    // Well formed, but refused by the parser: an invalid value of the field.
    QTest::newRow("lone low surrogate escape") << QByteArray(R"("x\udc00")") << u"Panel 1"_s;
    QTest::newRow("lone high surrogate escape") << QByteArray(R"("x\ud800")") << u"Panel 1"_s;
    QTest::newRow("high surrogate before a plain escape") << QByteArray(R"("\ud800\u0041")") << u"Panel 1"_s;

    QTest::newRow("raw control character") << QByteArray("\"a\x01" "b\"") << unreadable;
    QTest::newRow("raw line break") << QByteArray("\"a\nb\"") << unreadable;
    QTest::newRow("unknown escape") << QByteArray(R"("\x41")") << unreadable;
    QTest::newRow("short unicode escape") << QByteArray(R"("\u12")") << unreadable;
    QTest::newRow("lone surrogate and an unknown escape") << QByteArray(R"("\ud800\q")") << unreadable;
    QTest::newRow("unterminated string") << QByteArray("\"abc") << unreadable;
    QTest::newRow("invalid UTF-8 byte") << QByteArray("\"a\xff" "b\"") << unreadable;
    QTest::newRow("truncated UTF-8 sequence") << QByteArray("\"a\xc3\"") << unreadable;
    QTest::newRow("overlong UTF-8") << QByteArray("\"\xc0\xaf\"") << unreadable;
    QTest::newRow("UTF-8 encoded surrogate") << QByteArray("\"\xed\xa0\x80\"") << unreadable;
    QTest::newRow("leading zero") << QByteArray("01") << unreadable;
    QTest::newRow("plus sign") << QByteArray("+1") << unreadable;
    QTest::newRow("minus alone") << QByteArray("-") << unreadable;
    QTest::newRow("bare decimal point") << QByteArray("1.") << unreadable;
    QTest::newRow("bare exponent") << QByteArray("1e") << unreadable;
    QTest::newRow("letters after a number") << QByteArray("1x") << unreadable;
    QTest::newRow("NaN literal") << QByteArray("NaN") << unreadable;
    QTest::newRow("misspelt literal") << QByteArray("nul") << unreadable;
    QTest::newRow("letters after a literal") << QByteArray("nullx") << unreadable;
    QTest::newRow("single quotes") << QByteArray("'n'") << unreadable;
    QTest::newRow("trailing comma in array") << QByteArray("[1,]") << unreadable;
    QTest::newRow("trailing comma in object") << QByteArray(R"({"a": 1,})") << unreadable;
    QTest::newRow("missing colon") << QByteArray(R"({"a" 1})") << unreadable;
    QTest::newRow("too deeply nested") << QByteArray(600, '[') + QByteArray(600, ']') << unreadable;
}

void TestConfigurationJson::jsonSyntax()
{
    QFETCH(QByteArray, value);
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panel("\"name\": " + value)));
    QTEST(document ? document->makePanels().first().name : u"<unreadable>"_s, "name");
}

// The parser leaves the inside of a value alone until it is read: every place where the
// decoder steps over a value must still find what is broken in it.
void TestConfigurationJson::syntaxErrorsAnywhere_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("readable");

    const QByteArray link = "{\"kind\": \"link\", \"id\": \"" + id(2) + "\", \"path\": \"/a\"";
    const QByteArray group = "{\"kind\": \"group\", \"id\": \"" + id(3) + "\", \"name\": \"G\"";
    const QList<std::pair<const char *, QByteArray>> places{
        {"unknown top-level key", "{\"schemaVersion\": 16, \"x\": %1, \"panels\": []}"},
        {"panel list replaced by a later one", "{\"schemaVersion\": 16, \"panels\": [%1], \"panels\": []}"},
        {"unknown panel key", document(panel("\"x\": %1"))},
        {"mistyped panel value", document(panel("\"name\": [%1]"))},
        {"tab list element", document(panel("\"tabs\": [%1]"))},
        {"unknown tab key", document(panel("\"tabs\": [{\"id\": \"" + id(1) + "\", \"name\": \"T\", \"x\": %1}]"))},
        {"item list element", document(panelWithItems("[%1]"))},
        {"unknown item key", document(panelWithItems("[" + link + ", \"x\": %1}]"))},
        {"member of a group already failed", document(panelWithItems("[" + group + ", \"links\": [7, %1]}]"))},
        {"member of a nested group", document(panelWithItems("[" + group + ", \"links\": [" + group + ", \"links\": [%1]}]}]"))},
    };
    const QList<std::pair<const char *, QByteArray>> errors{
        {"trailing comma in array", "[1,]"},
        {"trailing comma in object", "{\"a\": 1,}"},
        {"missing comma", "[1 2]"},
        {"missing colon", "{\"a\" 1}"},
        {"key not a string", "{1: 2}"},
        {"bracket mismatch", "[1}"},
        {"colon after an element", "[\"a\": 1]"},
        {"colon after an element, brackets balanced later", "[\"a\": 1], 5]"},
        {"missing value", "{\"a\": }"},
        {"leading zero", "[01]"},
        {"bare decimal point", "1."},
        {"misspelt literal", "[nul]"},
        {"letters after a literal", "truex"},
        {"unknown escape", "\"\\x41\""},
        {"unknown escape in a key", "{\"\\x\": 1}"},
        {"raw tab in a string", "\"a\tb\""},
        {"invalid UTF-8", "[\"\xff\"]"},
        {"too deeply nested", QByteArray(600, '[') + QByteArray(600, ']')},
    };
    for (const auto &[place, json] : places) {
        QTest::addRow("%s: well formed", place) << QByteArray(json).replace("%1", "[1, {\"a\": null, \"b\": \"\\ud800\"}, 1e400]") << true;
        for (const auto &[error, value] : errors)
            QTest::addRow("%s: %s", place, error) << QByteArray(json).replace("%1", value) << false;
    }
}

void TestConfigurationJson::syntaxErrorsAnywhere()
{
    QFETCH(QByteArray, json);
    QString error;
    const auto document = ConfigurationDocument::fromJson(json, &error);
    QTEST(document.has_value(), "readable");
    if (!document)
        QVERIFY2(error.startsWith(u"not valid JSON"), qPrintable(error));
}

void TestConfigurationJson::schemaVersion_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<qint64>("expected"); // -1: unreadable

    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    constexpr qint64 smallest = std::numeric_limits<qint64>::min();
    QTest::newRow("current") << QByteArray("16") << qint64(16);
    QTest::newRow("written as a fraction") << QByteArray("16.0") << qint64(16);
    QTest::newRow("written with an exponent") << QByteArray("1.6E1") << qint64(16);
    QTest::newRow("negative exponent") << QByteArray("1600e-2") << qint64(16);
    QTest::newRow("negative zero") << QByteArray("-0") << qint64(0);
    QTest::newRow("beyond 32 bits") << QByteArray("4294967312") << qint64(4294967312);
    QTest::newRow("largest 64-bit") << QByteArray("9223372036854775807") << largest;
    QTest::newRow("smallest 64-bit") << QByteArray("-9223372036854775808") << smallest;
    QTest::newRow("just beyond 64 bits") << QByteArray("9223372036854775808") << largest;
    QTest::newRow("beyond unsigned 64 bits") << QByteArray("18446744073709551616") << largest;
    QTest::newRow("negative beyond 64 bits") << QByteArray("-18446744073709551617") << smallest;
    QTest::newRow("beyond a double") << QByteArray("1e400") << largest;
    QTest::newRow("zero with a huge exponent") << QByteArray("0.0e99999999999999999999") << qint64(0);

    QTest::newRow("fractional") << QByteArray("16.5") << qint64(-1);
    QTest::newRow("fractional by exponent") << QByteArray("16e-1") << qint64(-1);
    QTest::newRow("tiny") << QByteArray("1e-400") << qint64(-1);
    QTest::newRow("string") << QByteArray("\"16\"") << qint64(-1);
    QTest::newRow("boolean") << QByteArray("true") << qint64(-1);
}

void TestConfigurationJson::schemaVersion()
{
    QFETCH(QByteArray, version);
    QFETCH(qint64, expected);
    QString error;
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panel(""), version), &error);
    if (expected == -1) {
        QVERIFY(!document);
        QCOMPARE(error, u"\"schemaVersion\" is missing or not an integer"_s);
        return;
    }
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(document->schemaVersion(), expected);
    QCOMPARE(document->makePanels().size(), 1);
}

void TestConfigurationJson::reasons_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("reason");

    const QByteArray bom = "\xEF\xBB\xBF";
    QTest::newRow("empty") << QByteArray() << u"not valid JSON: empty: no JSON found"_s;
    QTest::newRow("invalid UTF-8") << QByteArray("{\"a\": \"\xff\"}") << u"not valid JSON: the input is not valid UTF-8"_s;
    QTest::newRow("unclosed string") << QByteArray("{\"a\": \"b}") << u"not valid JSON: a string is opened, but never closed"_s;
    QTest::newRow("not JSON") << QByteArray("schemaVersion: 16")
                              << u"not valid JSON at byte 0: the JSON document has an improper structure: "
                                 "missing or superfluous commas, braces, missing keys, etc"_s;
    QTest::newRow("missing colon") << QByteArray("{\"a\" 1}")
                                   << u"not valid JSON at byte 5: the JSON document has an improper structure: "
                                      "missing or superfluous commas, braces, missing keys, etc"_s;
    QTest::newRow("offsets count the byte-order mark") << bom + "{\"a\" 1}"
                                                       << u"not valid JSON at byte 8: the JSON document has an improper structure: "
                                                          "missing or superfluous commas, braces, missing keys, etc"_s;
    QTest::newRow("truncated") << QByteArray("{\"a\": [1")
                               << u"not valid JSON at byte 8: the JSON document has an improper structure: "
                                  "missing or superfluous commas, braces, missing keys, etc"_s;
    QTest::newRow("number") << QByteArray("{\"a\": 01}") << u"not valid JSON at byte 6: problem while parsing a number"_s;
    QTest::newRow("literal") << QByteArray("{\"a\": [nul]}") << u"not valid JSON at byte 7: problem while parsing an atom starting with the letter 'n'"_s;
    QTest::newRow("escape") << QByteArray("{\"a\": \"\\x\"}") << u"not valid JSON at byte 6: problem while parsing a string"_s;
    QTest::newRow("too deep") << "{\"a\": " + QByteArray(600, '[') + QByteArray(600, ']') + '}'
                              << u"not valid JSON at byte 517: the JSON document was too deep (too many nested objects and arrays)"_s;
    QTest::newRow("trailing content") << QByteArray("{\"schemaVersion\": 16, \"panels\": []} x")
                                      << u"not valid JSON at byte 36: unexpected trailing content in the JSON input"_s;
    QTest::newRow("top level an array") << QByteArray("[]") << u"the top level is not a JSON object"_s;
    QTest::newRow("top level a number") << QByteArray("16") << u"the top level is not a JSON object"_s;
    QTest::newRow("no version") << QByteArray("{\"panels\": []}") << u"\"schemaVersion\" is missing or not an integer"_s;
    QTest::newRow("no panels") << QByteArray("{\"schemaVersion\": 16}") << u"\"panels\" is missing or not an array"_s;
    QTest::newRow("second panel without id") << document(panel("") + ", {}") << u"panel 2 is not an object with a valid \"id\""_s;
}

void TestConfigurationJson::reasons()
{
    QFETCH(QByteArray, json);
    QString error;
    QVERIFY(!ConfigurationDocument::fromJson(json, &error));
    QTEST(error, "reason");
}

QTEST_APPLESS_MAIN(TestConfigurationJson)
#include "tst_configurationjson.moc"
