// Every seed of the icon image fuzzer goes through the import path without harm; the seeds named
// "refused-…" are refused and every other one imports, so that the corpus keeps covering what it
// was made to cover.

#include "iconimagecheck.h"

#include "persistence/boundedimagereader.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestIconImageCorpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data();
    void replay();
};

void TestIconImageCorpus::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(QUAYROW_ICON_IMAGE_CORPUS));
    const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY2(files.size() >= 30, "the seed corpus is missing");
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << corpus.filePath(file);
}

void TestIconImageCorpus::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(checkIconImport(file.readAll()));
    const bool refused = QFileInfo(path).fileName().startsWith(QLatin1String("refused-"));
    QCOMPARE(BoundedImageReader::read(path, 128).has_value(), !refused);
}

QTEST_MAIN(TestIconImageCorpus)
#include "tst_iconimagecorpus.moc"
