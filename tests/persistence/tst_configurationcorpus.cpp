// Every seed of the configuration fuzzer decodes without harm, reads only when it is JSON and,
// where it reads, survives a write and a second read unchanged.

#include "configurationcheck.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestConfigurationCorpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data();
    void replay();
};

void TestConfigurationCorpus::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(QUAYROW_CONFIGURATION_CORPUS));
    const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), "the seed corpus is missing");
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << corpus.filePath(file);
}

void TestConfigurationCorpus::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(checkConfigurationDecoding(file.readAll()));
}

QTEST_APPLESS_MAIN(TestConfigurationCorpus)
#include "tst_configurationcorpus.moc"
