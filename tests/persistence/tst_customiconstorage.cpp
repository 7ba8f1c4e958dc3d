#include "persistence/customiconstorage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

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

QByteArray encoded(int width, int height, const char *format, QColor color = QColor(200, 40, 40, 128))
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small PNG whose header claims other dimensions (with a matching checksum).
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = encoded(4, 4, "png");
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(crc32(QByteArrayView(png).sliced(12, 17)), png.data() + 29);
    return png;
}

QByteArray svg(const char *width, const char *height, qsizetype padding = 0)
{
    return QByteArrayLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='") + width + "' height='" + height
        + "' viewBox='0 0 10 10'><!--" + QByteArray(padding, ' ') + "--><rect width='10' height='10' fill='#3060c0'/></svg>";
}

// `bytes` as a gzip file: the raw deflate stream of qCompress between a gzip header and trailer.
QByteArray gzip(const QByteArray &bytes)
{
    const QByteArray zlib = qCompress(bytes, 9);
    QByteArray trailer(8, '\0');
    qToLittleEndian(crc32(bytes), trailer.data());
    qToLittleEndian(quint32(bytes.size()), trailer.data() + 4);
    return QByteArray("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10) + zlib.mid(6, zlib.size() - 10) + trailer;
}

// An icon file holding a 16 x 16 and then a 64 x 64 picture, both PNG-compressed.
QByteArray twoSizeIco()
{
    const QByteArray pictures[] = {encoded(16, 16, "png"), encoded(64, 64, "png")};
    QByteArray ico(6 + 2 * 16, '\0');
    qToLittleEndian<quint16>(1, ico.data() + 2);
    qToLittleEndian<quint16>(2, ico.data() + 4);
    for (int i = 0; i < 2; ++i) {
        char *entry = ico.data() + 6 + 16 * i;
        entry[0] = entry[1] = char(i == 0 ? 16 : 64);
        qToLittleEndian<quint16>(32, entry + 6);
        qToLittleEndian<quint32>(quint32(pictures[i].size()), entry + 8);
        qToLittleEndian<quint32>(quint32(38 + (i == 0 ? 0 : pictures[0].size())), entry + 12);
    }
    return ico + pictures[0] + pictures[1];
}

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

QTEST_GUILESS_MAIN(TestCustomIconStorage)
#include "tst_customiconstorage.moc"
