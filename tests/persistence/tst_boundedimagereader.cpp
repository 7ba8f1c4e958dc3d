// Decoding pictures from outside within the memory budget: which formats are read at all, which
// claimed sizes are decoded at a reduced size and which are refused, and reads that stop at
// their limit whatever a file reports.

#include "persistence/boundedimagereader.h"

#include "imagefixtures.h"
#include "processmemory.h"
#include "persistence/boundeddevice.h"
#include "persistence/boundedfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

using namespace ImageFixtures;

class TestBoundedImageReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void refusalsHoldNoMemory_data();
    void refusalsHoldNoMemory();
    void formatsOutsideTheListAreRefused_data();
    void formatsOutsideTheListAreRefused();
    void onlyLargePicturesRunInTheLongDecodeScope_data();
    void onlyLargePicturesRunInTheLongDecodeScope();
    void drawingsNeverReadOtherFiles_data();
    void drawingsNeverReadOtherFiles();
    void readsStopAtTheirLimitWhateverTheFileReports();
    void onlyRegularFilesAreOpened_data();
    void onlyRegularFilesAreOpened();
};

namespace {

std::optional<QImage> readBytes(QByteArray bytes, const BoundedImageReader::LongDecodeScope &scope = {})
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return BoundedImageReader::read(buffer, 128, scope);
}

// A device like a file of the proc file system: it reports size 0 and never ends. It repeats
// `pattern` after `head`.
class EndlessDevice final : public QIODevice
{
public:
    EndlessDevice(QByteArray head, QByteArray pattern) : m_head(std::move(head)), m_pattern(std::move(pattern))
    {
        open(QIODevice::ReadOnly);
    }
    qint64 delivered = 0;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        for (qint64 i = 0; i < maxSize; ++i) {
            const qint64 at = pos() + i;
            data[i] = at < m_head.size() ? m_head[at] : m_pattern[(at - m_head.size()) % m_pattern.size()];
        }
        delivered += maxSize;
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_head;
    QByteArray m_pattern;
};

// The smallest GIF: one transparent pixel.
const QByteArray onePixelGif = QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7");

QByteArray paletteImagePng(int width, int height)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

// A PNG that ends in a text chunk stating `length` bytes, after a few of them.
QByteArray pngWithChunkClaiming(quint32 length)
{
    QByteArray png = encoded(4, 4, "png").left(33);
    QByteArray chunk(4, '\0');
    qToBigEndian(length, chunk.data());
    return png + chunk + "zTXtComment" + QByteArray(100, '\0');
}

QByteArray bmpClaimingRows(qint32 rows)
{
    QByteArray bmp = encoded(16, 16, "bmp");
    qToLittleEndian(rows, bmp.data() + 22);
    return bmp;
}

// An icon file whose one entry states a length far beyond the file.
QByteArray icoWithOversizedEntry()
{
    QByteArray ico = twoSizeIco();
    qToLittleEndian<quint16>(1, ico.data() + 4);
    qToLittleEndian<quint32>(0xfffffff0u, ico.data() + 6 + 8);
    return ico;
}

} // namespace

void TestBoundedImageReader::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("expected"); // invalid: refused

    QTest::newRow("baseline jpeg 600x400") << jpeg(600, 400) << QSize(128, 85);
    QTest::newRow("progressive jpeg 600x400") << jpeg(600, 400, Scan::Progressive) << QSize(128, 85);
    QTest::newRow("baseline jpeg claiming 16000x12000 (192 MP)")
        << jpegClaiming(16000, 12000, Scan::Baseline) << QSize(128, 96);
    QTest::newRow("baseline jpeg claiming 65535x65535: too large even at 1/8")
        << jpegClaiming(65535, 65535, Scan::Baseline) << QSize();
    QTest::newRow("progressive jpeg claiming 8000x6000: every coefficient kept")
        << jpegClaiming(8000, 6000, Scan::Progressive) << QSize();
    QTest::newRow("progressive jpeg claiming 4000x3000") << jpegClaiming(4000, 3000, Scan::Progressive) << QSize(128, 96);
    QTest::newRow("palette png 6000x6000: decoded whole, then widened to 32 bits")
        << paletteImagePng(6000, 6000) << QSize();
    QTest::newRow("palette png 1000x500") << paletteImagePng(1000, 500) << QSize(128, 64);
    QTest::newRow("png with 20 compressed texts of 8 MB")
        << pngWithCompressedText(20, 7900000) << QSize();
    QTest::newRow("png with a short compressed text") << pngWithCompressedText(1, 1000) << QSize(4, 4);
    QTest::newRow("interlaced png claiming 20000x20000") << pngClaiming(20000, 20000, true) << QSize();
    QTest::newRow("gif of one pixel") << onePixelGif << QSize(1, 1);
    QTest::newRow("bmp 300x200") << encoded(300, 200, "bmp") << QSize(128, 85);
    QTest::newRow("bmp claiming a million rows it does not hold") << bmpClaimingRows(1000000) << QSize();
    QTest::newRow("lossy webp 300x200") << encoded(300, 200, "webp") << QSize(128, 85);
    QTest::newRow("icon file: its largest picture") << twoSizeIco() << QSize(64, 64);
    QTest::newRow("icon file whose entry claims 4 GiB") << icoWithOversizedEntry() << QSize();
    QTest::newRow("compressed drawing") << gzip(svg("100", "50")) << QSize(100, 50);
    QTest::newRow("drawing using an undeclared prefix")
        << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'><defs><rect id='r' width='5' "
                      "height='5'/></defs><use xlink:href='#r'/></svg>")
        << QSize(20, 10);
    QTest::newRow("text") << QByteArray("just words\n") << QSize();
    QTest::newRow("empty") << QByteArray() << QSize();
}

void TestBoundedImageReader::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, expected);
    QVERIFY(!bytes.isEmpty() || !expected.isValid());
    const auto image = readBytes(bytes);
    QCOMPARE(image.has_value(), expected.isValid());
    if (image)
        QCOMPARE(image->size(), expected);
}

void TestBoundedImageReader::refusalsHoldNoMemory_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("png with a chunk claiming 2 GB") << pngWithChunkClaiming(0x7e000016);
    QTest::newRow("png with 20 compressed texts of 8 MB") << pngWithCompressedText(20, 7900000);
    QTest::newRow("progressive jpeg claiming 8000x6000") << jpegClaiming(8000, 6000, Scan::Progressive);
    QTest::newRow("palette png 6000x6000") << paletteImagePng(6000, 6000);
}

void TestBoundedImageReader::refusalsHoldNoMemory()
{
    QFETCH(QByteArray, bytes);
    if (!resetPeakResident())
        QSKIP("the peak resident memory cannot be reset here");
    const qint64 before = peakResidentKiB();
    QCOMPARE(readBytes(bytes), std::nullopt);
    QCOMPARE_LT(peakResidentKiB() - before, 16 * 1024);
}

void TestBoundedImageReader::formatsOutsideTheListAreRefused_data()
{
    QTest::addColumn<QByteArray>("format");
    // Readers that allocate what a file claims (icns asks for gigabytes on tiny files) or whose
    // cost cannot be told from the header.
    for (const char *format : {"icns", "tiff", "tga", "xpm", "ppm", "pgm", "pbm", "wbmp", "xbm"})
        QTest::newRow(format) << QByteArray(format);
}

void TestBoundedImageReader::formatsOutsideTheListAreRefused()
{
    QFETCH(QByteArray, format);
    const QByteArray bytes = encoded(32, 32, format.constData());
    if (bytes.isEmpty())
        QSKIP("no writer for this format here");
    // Qt itself decodes it, so nothing but the list refuses it.
    QBuffer buffer;
    buffer.setData(bytes);
    QVERIFY(!QImageReader(&buffer, format).read().isNull());
    QCOMPARE(readBytes(bytes), std::nullopt);
}

void TestBoundedImageReader::onlyLargePicturesRunInTheLongDecodeScope_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("takesLong");
    QTest::newRow("jpeg claiming 16000x12000") << jpegClaiming(16000, 12000, Scan::Baseline) << true;
    QTest::newRow("jpeg 600x400") << jpeg(600, 400) << false;
    QTest::newRow("refused before decoding") << jpegClaiming(8000, 6000, Scan::Progressive) << false;
}

void TestBoundedImageReader::onlyLargePicturesRunInTheLongDecodeScope()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, takesLong);
    int scopes = 0;
    bool decodedInside = false;
    const auto image = readBytes(bytes, [&](const std::function<void()> &decode) {
        ++scopes;
        decode();
        decodedInside = true;
    });
    QCOMPARE(scopes, takesLong ? 1 : 0);
    QCOMPARE(decodedInside, takesLong);
    if (takesLong)
        QVERIFY(image.has_value());
}

void TestBoundedImageReader::drawingsNeverReadOtherFiles_data()
{
    QTest::addColumn<QByteArray>("drawing"); // %1: a readable file beside it
    QTest::addColumn<QByteArray>("other");
    const QByteArray open = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                            "width='10' height='10'>";
    QTest::newRow("an embedded picture file")
        << open + "<rect width='10' height='10'/><image width='10' height='10' xlink:href='%1'/></svg>"
        << encoded(8, 8, "png");
    QTest::newRow("an embedded picture file, prefixed")
        << QByteArray("<s:svg xmlns:s='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                      "width='10' height='10'><s:image width='10' height='10' xlink:href='%1'/></s:svg>")
        << encoded(8, 8, "png");
    QTest::newRow("a picture embedded as data of any format")
        << open + "<image width='10' height='10' xlink:href='data:image/x-icns;base64,%1'/></svg>"
        << encoded(8, 8, "icns").toBase64();
    QTest::newRow("an external style sheet")
        << "<?xml-stylesheet type=\"text/css\" href=\"%1\"?>" + open + "<rect width='10' height='10'/></svg>"
        << QByteArray("rect { fill: red; }");
}

void TestBoundedImageReader::drawingsNeverReadOtherFiles()
{
    QFETCH(QByteArray, drawing);
    QFETCH(QByteArray, other);
    QTemporaryDir temp;
    const QString otherPath = temp.filePath(QStringLiteral("other"));
    QFile file(otherPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(other) == other.size());
    file.close();
    const bool embedsData = drawing.contains("base64");
    const QByteArray reference = embedsData ? other : QFile::encodeName(otherPath);
    const QByteArray text = QString::fromUtf8(drawing).arg(QString::fromUtf8(reference)).toUtf8();
    const QString path = temp.filePath(QStringLiteral("drawing.svg"));
    QFile svgFile(path);
    QVERIFY(svgFile.open(QIODevice::WriteOnly) && svgFile.write(text) == text.size());
    svgFile.close();
    QCOMPARE(BoundedImageReader::read(path, 128), std::nullopt);
}

void TestBoundedImageReader::readsStopAtTheirLimitWhateverTheFileReports()
{
    // A gzip stream of stored blocks of spaces that never ends, from a device reporting size 0.
    const QByteArray gzipHeader("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10);
    QByteArray storedBlock("\x00\xff\xff\x00\x00", 5);
    storedBlock += QByteArray(0xffff, ' ');
    EndlessDevice endless(gzipHeader, storedBlock);
    QCOMPARE(endless.size(), 0);
    QCOMPARE(BoundedImageReader::read(endless, 128), std::nullopt);
    QVERIFY2(endless.delivered <= 2 * BoundedImageReader::maxDrawingBytes, "read past the drawing limit");

    // Any device: its view ends at the limit.
    EndlessDevice zeros(QByteArray(), QByteArray(1, '\0'));
    BoundedDevice bounded(zeros, 4096);
    QCOMPARE(bounded.readAll().size(), 4096);
    QCOMPARE(BoundedFile::read(bounded, 100), QByteArray()); // nothing left
    QVERIFY(bounded.seek(0));
    QCOMPARE(BoundedFile::read(bounded, 100), std::nullopt);
    QVERIFY(bounded.seek(0));
    QCOMPARE(BoundedFile::read(bounded, 4096)->size(), 4096);
}

void TestBoundedImageReader::onlyRegularFilesAreOpened_data()
{
    QTest::addColumn<QString>("name"); // in a temporary directory, or an absolute path
    QTest::newRow("a FIFO, which would block") << QStringLiteral("fifo.png");
    QTest::newRow("a directory") << QStringLiteral("folder.png");
    QTest::newRow("missing") << QStringLiteral("missing.png");
    QTest::newRow("proc file reporting size 0") << QStringLiteral("/proc/self/pagemap");
    QTest::newRow("character device") << QStringLiteral("/dev/zero");
}

void TestBoundedImageReader::onlyRegularFilesAreOpened()
{
    QFETCH(QString, name);
    QTemporaryDir temp;
    QVERIFY(::mkfifo(QFile::encodeName(temp.filePath(QStringLiteral("fifo.png"))).constData(), 0600) == 0);
    QVERIFY(QDir(temp.path()).mkdir(QStringLiteral("folder.png")));
    const QString path = name.startsWith(u'/') ? name : temp.filePath(name);
    QCOMPARE(BoundedImageReader::read(path, 128), std::nullopt);
}

QTEST_MAIN(TestBoundedImageReader)
#include "tst_boundedimagereader.moc"
