// Starting the built program: it tells on standard error what it could not read, clears what an
// earlier run killed halfway left behind, and has written a first launch when it ends.

#include "programrun.h"
#include "sampleconfiguration.h"

#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

using namespace ProgramRun;

// A start, ended by SIGTERM once the program is running.
Outcome start(const QString &configHome)
{
    return runUntilStarted({}, configHome);
}

QString iconName()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + u".png"_s;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstLaunchIsWrittenBeforeExit();
    void unreadableConfigurationIsTold_data();
    void unreadableConfigurationIsTold();
    void leftoversOfAKilledRunAreRemoved_data();
    void leftoversOfAKilledRunAreRemoved();
};

void TestStartup::firstLaunchIsWrittenBeforeExit()
{
    QTemporaryDir home;
    const Outcome run = start(home.path());
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    const QString file = home.filePath(u"Quayrow 2/configuration.json"_s);
    QVERIFY(SystemConfigurationStorage::readDocument(file));
    QCOMPARE(readFile(file + u".bak"_s), readFile(file));
}

void TestStartup::unreadableConfigurationIsTold_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<QByteArrayList>("mentions"); // empty: nothing to tell

    const QByteArray good = ConfigurationDocument(SampleConfiguration::make(6, 1)).toJson();
    QTest::newRow("readable") << good << good << QByteArrayList{};
    QTest::newRow("unreadable main, backup loaded")
        << QByteArray("{oops") << good
        << QByteArrayList{"Quayrow 2/configuration.json could not be read", "backup", "configuration.json.unreadable"};
    QTest::newRow("both unreadable") << QByteArray("{oops") << QByteArray("[]")
                                     << QByteArrayList{"new panel", "configuration.json.bak.unreadable"};
}

void TestStartup::unreadableConfigurationIsTold()
{
    QFETCH(QByteArray, main);
    QFETCH(QByteArray, backup);
    QFETCH(QByteArrayList, mentions);
    QTemporaryDir home;
    const QString file = home.filePath(u"Quayrow 2/configuration.json"_s);
    writeFile(file, main);
    writeFile(file + u".bak"_s, backup);

    const Outcome run = start(home.path());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err.count('\n'), mentions.isEmpty() ? 0 : 1);
    for (const QByteArray &mention : mentions)
        QVERIFY2(run.err.contains(mention), run.err.constData());
    // Nothing is kept aside or replaced before the first change.
    QCOMPARE(readFile(file), main);
    QCOMPARE(readFile(file + u".bak"_s), backup);
}

void TestStartup::leftoversOfAKilledRunAreRemoved_data()
{
    QTest::addColumn<bool>("readable");

    QTest::newRow("configuration read") << true;
    // Icons are judged only against a configuration that was read.
    QTest::newRow("configuration unreadable") << false;
}

void TestStartup::leftoversOfAKilledRunAreRemoved()
{
    QFETCH(bool, readable);
    QTemporaryDir home;
    const QDir folder(home.filePath(u"Quayrow 2"_s));
    const QDir icons(folder.filePath(u"Icons"_s));
    const QString used = iconName(), orphan = iconName(), youngOrphan = iconName();
    QList<Panel> panels = SampleConfiguration::make(6, 1);
    panels[0].append(ItemLink{.location = QUrl::fromLocalFile(u"/usr/bin/true"_s), .customIcon = used});
    writeFile(folder.filePath(u"configuration.json"_s), readable ? ConfigurationDocument(panels).toJson() : "{oops");
    writeFile(folder.filePath(u"configuration.json.bak"_s), readable ? ConfigurationDocument(panels).toJson() : "{oops");

    struct Leftover
    {
        QString path;
        int ageSeconds;
        bool removed;
    };
    const QList<Leftover> leftovers{
        {folder.filePath(u"configuration.json.quayrow2-tmp-aB3dE9"_s), 120, true},
        {folder.filePath(u"configuration.json.quayrow2-tmp-Xy7zQ1"_s), 0, false},
        {folder.filePath(u"configuration.json.backup"_s), 120, false},
        {icons.filePath(used + u".quayrow2-tmp-q1w2e3"_s), 120, true},
        {icons.filePath(used), 120, false},
        {icons.filePath(orphan), 120, readable},
        {icons.filePath(youngOrphan), 0, false},
        {icons.filePath(u"photo.png"_s), 120, false},
    };
    for (const Leftover &leftover : leftovers)
        writeFile(leftover.path, "x", leftover.ageSeconds);

    QCOMPARE(start(home.path()).status, 0);
    for (const Leftover &leftover : leftovers)
        QVERIFY2(QFile::exists(leftover.path) != leftover.removed, qPrintable(leftover.path));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
