#include "persistence/customiconstorage.h"

#include "imagefixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCustomIconStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importImage_data();
    void importImage();
    void importTwiceKeepsOneFileWithTheLastGoodPicture();
    void unsafeNamesReachNothing_data();
    void unsafeNamesReachNothing();
};

namespace {

using namespace ImageFixtures;

QUrl writeSource(const QTemporaryDir &dir, const QString &fileName, const QByteArray &bytes)
{
    QFile file(dir.filePath(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a test source");
    return QUrl::fromLocalFile(file.fileName());
}

} // namespace

void TestCustomIconStorage::importImage_data()
{
    QTest::addColumn<QString>("sourceName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("expected"); // invalid: refused
    QTest::addColumn<int>("alpha");      // of the stored pixel at (0, 0)

    QTest::newRow("translucent png 64x64 stays") << "a.png" << encoded(64, 64, "png") << QSize(64, 64) << 128;
    QTest::newRow("png 2048x1024 to 128x64") << "a.png" << encoded(2048, 1024, "png") << QSize(128, 64) << 128;
    QTest::newRow("png 1000x3 to 128x1") << "a.png" << encoded(1000, 3, "png") << QSize(128, 1) << 128;
    QTest::newRow("png 384x100 to 128x33") << "a.png" << encoded(384, 100, "png") << QSize(128, 33) << 128;
    QTest::newRow("jpeg without suffix") << "photo" << encoded(300, 200, "jpg") << QSize(128, 85) << 255;
    QTest::newRow("svg 100x50 stays") << "a.svg" << svg("100", "50") << QSize(100, 50) << 255;
    QTest::newRow("svg claiming 1000000 square") << "a.svg" << svg("1000000", "1000000") << QSize(128, 128) << 255;
    QTest::newRow("compressed svg") << "a.svgz" << gzip(svg("100", "50")) << QSize(100, 50) << 255;
    QTest::newRow("compressed svg inflating to 40 MiB") << "a.svgz" << gzip(svg("10", "10", 40 << 20)) << QSize() << 0;
    QTest::newRow("ico: its largest picture") << "a.ico" << twoSizeIco() << QSize(64, 64) << 128;
    QTest::newRow("png header claiming 30000 square") << "a.png" << pngClaiming(30000, 30000) << QSize() << 0;
    QTest::newRow("png header claiming 7000 square") << "a.png" << pngClaiming(7000, 7000) << QSize() << 0;
    QTest::newRow("truncated png") << "a.png" << encoded(64, 64, "png").left(100) << QSize() << 0;
    QTest::newRow("text file") << "a.png" << QByteArray("not a picture\n") << QSize() << 0;
    QTest::newRow("svg without a size") << "a.svg" << QByteArray("<svg xmlns='http://www.w3.org/2000/svg'/>") << QSize() << 0;
}

void TestCustomIconStorage::importImage()
{
    QFETCH(QString, sourceName);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, expected);
    QFETCH(int, alpha);

    QTemporaryDir temp;
    const QUrl source = writeSource(temp, sourceName, bytes);
    SystemCustomIconStorage storage(temp.filePath(QStringLiteral("Icons")));
    const auto stored = storage.importImage(source, QStringLiteral("ITEM.png"));
    if (!expected.isValid()) {
        QCOMPARE(stored, std::nullopt);
        QVERIFY2(!QFileInfo::exists(storage.directory()), "a failed import created the directory");
        return;
    }
    QCOMPARE(stored, QStringLiteral("ITEM.png"));
    QCOMPARE(QDir(storage.directory()).entryList(QDir::Files), QStringList{QStringLiteral("ITEM.png")});
    const QImage image(QDir(storage.directory()).filePath(QStringLiteral("ITEM.png")), "png");
    QCOMPARE(image.size(), expected);
    QCOMPARE(image.pixelColor(0, 0).alpha(), alpha);
    QCOMPARE(storage.image(QStringLiteral("ITEM.png"))->size(), expected);
    QFile original(source.toLocalFile());
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), bytes);
}

void TestCustomIconStorage::importTwiceKeepsOneFileWithTheLastGoodPicture()
{
    QTemporaryDir temp;
    SystemCustomIconStorage storage(temp.filePath(QStringLiteral("Icons")));
    const QString name = QStringLiteral("SAME.png");
    QVERIFY(storage.importImage(writeSource(temp, QStringLiteral("1.png"), encoded(30, 30, "png")), name));
    QVERIFY(storage.importImage(writeSource(temp, QStringLiteral("2.png"), encoded(50, 20, "png")), name));
    QVERIFY(!storage.importImage(writeSource(temp, QStringLiteral("3.txt"), "text"), name));
    QCOMPARE(QDir(storage.directory()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    QCOMPARE(storage.image(name)->size(), QSize(50, 20));

    storage.remove(name);
    QCOMPARE(storage.image(name), std::nullopt);
    storage.remove(name); // already gone: nothing happens
}

void TestCustomIconStorage::unsafeNamesReachNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("parent traversal") << QStringLiteral("../x.png");
    QTest::newRow("sub-directory") << QStringLiteral("a/b.png");
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("empty") << QString();
    QTest::newRow("trailing separator") << QStringLiteral("x.png/");
    QTest::newRow("embedded NUL") << QStringLiteral("x.png") + QChar(u'\0') + QStringLiteral("/y");
}

void TestCustomIconStorage::unsafeNamesReachNothing()
{
    QFETCH(QString, name);
    QTemporaryDir temp;
    // A picture beside the icon directory, where "../x.png" leads.
    const QUrl outside = writeSource(temp, QStringLiteral("x.png"), encoded(4, 4, "png"));
    SystemCustomIconStorage storage(temp.filePath(QStringLiteral("Icons")));
    QVERIFY(QDir().mkpath(storage.directory() + QStringLiteral("/a")));

    QVERIFY(!SystemCustomIconStorage::isSafeFileName(name));
    QCOMPARE(storage.importImage(outside, name), std::nullopt);
    QCOMPARE(storage.image(name), std::nullopt);
    storage.remove(name);
    QVERIFY(QFileInfo::exists(outside.toLocalFile()));
    QCOMPARE(QDir(storage.directory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("a")});
    QVERIFY(QDir(storage.directory() + QStringLiteral("/a")).isEmpty());
}

QTEST_MAIN(TestCustomIconStorage)
#include "tst_customiconstorage.moc"
