// The command line of the built program: --print-configuration, --help, --version, and the
// commands' usage errors.

#include "programrun.h"
#include "sampleconfiguration.h"

#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using namespace ProgramRun;

// Printing needs no display at all.
Outcome runProgram(const QStringList &arguments, const QString &configHome)
{
    return run(arguments, configHome, Platform::NoDisplay);
}

QByteArray documentOf(const QList<Panel> &panels)
{
    return ConfigurationDocument(panels).toJson();
}

} // namespace

class TestPrintConfiguration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printConfiguration_data();
    void printConfiguration();
    void endlessFilesAreRefused_data();
    void endlessFilesAreRefused();
    void helpAndVersion_data();
    void helpAndVersion();
};

void TestPrintConfiguration::printConfiguration_data()
{
    QTest::addColumn<QByteArray>("main");     // at the default location
    QTest::addColumn<QByteArray>("backup");   // beside it
    QTest::addColumn<QByteArray>("given");    // the FILE argument's content, absent: no FILE
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("expected"); // standard output

    const QByteArray a = documentOf(SampleConfiguration::make(30, 1));
    const QByteArray b = documentOf(SampleConfiguration::make(20, 2));
    // An older document: the per-panel flag, lower-case ids and no tab bar flag are normalised.
    const QByteArray older = "{\"schemaVersion\": 3, \"panels\": [{\"id\": \"0000000a-0000-0000-0000-00000000000b\", "
                             "\"showsRunningApps\": true, \"tabs\": [{\"id\": \"0000000a-0000-0000-0000-00000000000c\", \"name\": \"T\"}]}]}";
    const QByteArray normalised = documentOf(ConfigurationDocument::fromJson(older)->makePanels());

    QTest::newRow("default location") << a << b << absent << 0 << a;
    QTest::newRow("default location falls back to the backup") << QByteArray("{") << b << absent << 0 << b;
    QTest::newRow("default location, nothing stored") << absent << absent << absent << 2 << QByteArray();
    QTest::newRow("default location, both unreadable") << QByteArray("{") << QByteArray("[]") << absent << 2 << QByteArray();
    QTest::newRow("given file") << a << absent << b << 0 << b;
    QTest::newRow("given file is normalised") << absent << absent << older << 0 << normalised;
    QTest::newRow("given file unreadable") << a << b << QByteArray("{\"schemaVersion\": 16}") << 2 << QByteArray();
}

void TestPrintConfiguration::printConfiguration()
{
    QFETCH(QByteArray, main);
    QFETCH(QByteArray, backup);
    QFETCH(QByteArray, given);
    QTemporaryDir home;
    const QString location = home.filePath(u"Quayrow 2/configuration.json"_s);
    writeFile(location, main);
    writeFile(location + u".bak"_s, backup);
    QStringList arguments{u"--print-configuration"_s};
    if (given != absent) {
        writeFile(home.filePath(u"given.json"_s), given);
        arguments.append(home.filePath(u"given.json"_s));
    }
    const QStringList before = snapshot(home.path());

    const Outcome run = runProgram(arguments, home.path());
    QTEST(run.status, "status");
    QTEST(run.out, "expected");
    if (run.status == 2) {
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
    } else {
        QVERIFY2(run.err.isEmpty(), run.err.constData());
    }
    // Printing writes nothing: no file is created, replaced or kept aside.
    QCOMPARE(snapshot(home.path()), before);
}

void TestPrintConfiguration::endlessFilesAreRefused_data()
{
    QTest::addColumn<bool>("asFile"); // the FILE argument, or else the configuration linked to it

    // A regular file that reports a size of 0 and reads on for hundreds of gigabytes.
    QTest::newRow("FILE") << true;
    QTest::newRow("configuration linked to it") << false;
}

void TestPrintConfiguration::endlessFilesAreRefused()
{
    QFETCH(bool, asFile);
    const QString endless = u"/proc/self/pagemap"_s;
    if (!QFileInfo(endless).isReadable())
        QSKIP("/proc/self/pagemap is not readable here");
    QTemporaryDir home;
    QStringList arguments{u"--print-configuration"_s};
    if (asFile) {
        arguments.append(endless);
    } else {
        QVERIFY(QDir().mkpath(home.filePath(u"Quayrow 2"_s)));
        QVERIFY(QFile::link(endless, home.filePath(u"Quayrow 2/configuration.json"_s)));
    }
    const Outcome run = runProgram(arguments, home.path());
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.contains("larger than"), run.err.constData());
}

void TestPrintConfiguration::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("outputContains");

    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << QByteArray(QUAYROW_VERSION);
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << QByteArray("--print-configuration");
    QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << 1 << QByteArray();
    // Options of the toolkit are not the program's: they are passed over, not refused.
    QTest::newRow("version after a platform option")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"--version"_s} << 0 << QByteArray(QUAYROW_VERSION);
    QTest::newRow("help after session and style options")
        << QStringList{u"-session"_s, u"1234"_s, u"--style=fusion"_s, u"-reverse"_s, u"--help"_s} << 0
        << QByteArray("--print-configuration");
    QTest::newRow("unknown option among toolkit options")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"--frobnicate"_s} << 1 << QByteArray();
    QTest::newRow("two files") << QStringList{u"--print-configuration"_s, u"a"_s, u"b"_s} << 1 << QByteArray();
    QTest::newRow("help lists the commands") << QStringList{u"--help"_s} << 0
                                             << QByteArray("--new-panel ");
    QTest::newRow("help lists quitting") << QStringList{u"--help"_s} << 0 << QByteArray("--quit ");
    // Quitting needs no display and, with nothing running, creates nothing.
    QTest::newRow("quit with nothing running") << QStringList{u"--quit"_s} << 0 << QByteArray();
    QTest::newRow("two commands at once") << QStringList{u"--quit"_s, u"--new-panel"_s} << 1 << QByteArray();
    QTest::newRow("a command with printing") << QStringList{u"--print-configuration"_s, u"--show-all-panels"_s} << 1
                                             << QByteArray();
}

void TestPrintConfiguration::helpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, outputContains);
    QTemporaryDir home;
    const Outcome run = runProgram(arguments, home.path());
    QTEST(run.status, "status");
    QVERIFY2(run.out.contains(outputContains), run.out.constData());
    QCOMPARE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

QTEST_GUILESS_MAIN(TestPrintConfiguration)
#include "tst_printconfiguration.moc"
