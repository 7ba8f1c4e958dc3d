// Reading files from outside: only regular files, never blocking, limits counted while reading.

#include "persistence/boundedfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestBoundedFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void wholeFilesUpToTheLimit_data();
    void wholeFilesUpToTheLimit();
    void refusedWithTheirReason_data();
    void refusedWithTheirReason();
    void filesReportingSizeZeroAreReadToTheirEnd();
    void rangesMatchTheContent();

private:
    QString write(const QByteArray &bytes);

    QTemporaryDir m_dir;
    int m_files = 0;
};

namespace {

QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 23);
    return bytes;
}

} // namespace

void TestBoundedFile::initTestCase()
{
    QVERIFY(QDir(m_dir.path()).mkpath(u"folder"_s));
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath(u"fifo"_s)).constData(), 0600), 0);
}

QString TestBoundedFile::write(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QString::number(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestBoundedFile::wholeFilesUpToTheLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("limit");

    // Sizes around the reads' page and chunk sizes, with the limit at the size and just below.
    for (const qint64 size : {0, 1, 4095, 4096, 4097, 1024 * 1024, 1024 * 1024 + 1, 3 * 1024 * 1024 + 5}) {
        QTest::addRow("%lld bytes, limit %lld", size, size) << size << size;
        if (size > 0)
            QTest::addRow("%lld bytes, limit %lld", size, size - 1) << size << size - 1;
    }
    QTest::newRow("empty file, limit 0") << qint64(0) << qint64(0);
}

void TestBoundedFile::wholeFilesUpToTheLimit()
{
    QFETCH(qint64, size);
    QFETCH(qint64, limit);
    const QByteArray content = pattern(size);
    const QString path = write(content);

    QString error;
    const std::optional<QByteArray> read = BoundedFile::read(path, limit, &error);
    QBuffer buffer;
    buffer.setData(content);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const std::optional<QByteArray> fromDevice = BoundedFile::read(buffer, limit);
    if (size <= limit) {
        QCOMPARE(read, content);
        QCOMPARE(fromDevice, content);
    } else {
        QCOMPARE(read, std::nullopt);
        QCOMPARE(error, u"larger than %1 bytes"_s.arg(limit));
        QCOMPARE(fromDevice, std::nullopt);
    }
}

void TestBoundedFile::refusedWithTheirReason_data()
{
    QTest::addColumn<QString>("path"); // in the temporary folder, or absolute
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << u"missing"_s << qint64(100) << u"no such file"_s;
    QTest::newRow("a folder") << u"folder"_s << qint64(100) << u"not a regular file"_s;
    QTest::newRow("a FIFO, which would block") << u"fifo"_s << qint64(100) << u"not a regular file"_s;
    QTest::newRow("a device that never ends") << u"/dev/zero"_s << qint64(100) << u"not a regular file"_s;
    QTest::newRow("a file in a missing folder") << u"missing/file"_s << qint64(100) << u"no such file"_s;
    QTest::newRow("empty path") << QString() << qint64(100) << u"no such file"_s;
    // Reports size 0 and reads on for hundreds of gigabytes.
    QTest::newRow("an endless proc file") << u"/proc/self/pagemap"_s << qint64(3 * 1024 * 1024 + 1)
                                          << u"larger than 3145729 bytes"_s;
}

void TestBoundedFile::refusedWithTheirReason()
{
    QFETCH(QString, path);
    QFETCH(qint64, limit);
    QFETCH(QString, reason);
    if (path.startsWith(u'/') && !QFileInfo(path).isReadable())
        QSKIP("not readable here");
    if (!path.isEmpty() && !path.startsWith(u'/'))
        path = m_dir.filePath(path);
    QString error;
    QCOMPARE(BoundedFile::read(path, limit, &error), std::nullopt);
    QCOMPARE(error, reason);
    // What cannot be opened cannot be read in part or as a device either.
    if (!reason.startsWith(u"larger"_s)) {
        QCOMPARE(BoundedFile::readAt(path, 0, limit), std::nullopt);
        QVERIFY(!BoundedFile::open(path));
    }
}

void TestBoundedFile::filesReportingSizeZeroAreReadToTheirEnd()
{
    const QString path = u"/proc/self/cmdline"_s;
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QCOMPARE(file.size(), 0);
    QVERIFY(!content.isEmpty());

    QCOMPARE(BoundedFile::read(path, content.size()), content);
    QCOMPARE(BoundedFile::read(path, content.size() - 1), std::nullopt);
    QCOMPARE(BoundedFile::readAt(path, 0, content.size() + 100), content);
    QCOMPARE(BoundedFile::readAt(path, 2, 3), content.mid(2, 3));
}

void TestBoundedFile::rangesMatchTheContent()
{
    // Random ranges of a file of a few pages, within it, across its end and past it.
    const QByteArray content = pattern(3 * 4096 + 123);
    const QString path = write(content);
    QRandomGenerator random(17);
    for (int i = 0; i < 300; ++i) {
        const qint64 offset = random.bounded(content.size() + 200);
        const qint64 length = random.bounded(i % 3 == 0 ? content.size() + 200 : 100);
        QCOMPARE(BoundedFile::readAt(path, offset, length), content.mid(offset, length));
    }
    QCOMPARE(BoundedFile::readAt(path, -1, 10), std::nullopt);
    QCOMPARE(BoundedFile::readAt(path, 0, -1), std::nullopt);
}

QTEST_APPLESS_MAIN(TestBoundedFile)
#include "tst_boundedfile.moc"
