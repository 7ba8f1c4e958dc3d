// Custom icon pictures are read once, and read again only after their file changed or when the
// memory budget pushed them out.

#include "store/cachingcustomiconstorage.h"

#include <QTest>

namespace {

// Files of one colour each; counts what it is asked.
class CountingStorage final : public CustomIconStorage
{
public:
    QHash<QString, QColor> files;
    int reads = 0;

    std::optional<QString> importImage(const QUrl &source, const QString &fileName) override
    {
        if (source.fileName() == u"broken.png"_qs)
            return std::nullopt;
        files.insert(fileName, QColor(source.fileName().section(u'.', 0, 0)));
        return fileName;
    }
    std::optional<QImage> image(const QString &fileName) const override
    {
        ++const_cast<CountingStorage *>(this)->reads;
        if (!files.contains(fileName))
            return std::nullopt;
        QImage image(128, 128, QImage::Format_ARGB32);
        image.fill(files.value(fileName));
        return image;
    }
    void remove(const QString &fileName) override { files.remove(fileName); }
};

QColor colorOf(const std::optional<QImage> &image)
{
    return image ? image->pixelColor(0, 0) : QColor();
}

} // namespace

class TestCachingCustomIconStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsEachFileOnce();
    void changesGoThrough();
    void budgetBoundsMemory();
};

void TestCachingCustomIconStorage::readsEachFileOnce()
{
    auto stored = std::make_unique<CountingStorage>();
    CountingStorage *counting = stored.get();
    counting->files.insert(u"A.png"_qs, Qt::red);
    CachingCustomIconStorage cache(std::move(stored));
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(colorOf(cache.image(u"A.png"_qs)), QColor(Qt::red));
        QCOMPARE(cache.image(u"missing.png"_qs), std::nullopt);
    }
    QCOMPARE(counting->reads, 2);
}

void TestCachingCustomIconStorage::changesGoThrough()
{
    auto stored = std::make_unique<CountingStorage>();
    CountingStorage *counting = stored.get();
    counting->files.insert(u"A.png"_qs, Qt::red);
    CachingCustomIconStorage cache(std::move(stored));
    QCOMPARE(colorOf(cache.image(u"A.png"_qs)), QColor(Qt::red));

    // A new picture under the same name (choosing another icon for the same item).
    QCOMPARE(cache.importImage(QUrl::fromLocalFile(u"/pictures/blue.png"_qs), u"A.png"_qs), u"A.png"_qs);
    QCOMPARE(colorOf(cache.image(u"A.png"_qs)), QColor(Qt::blue));
    // A failed import leaves the file and what is shown as they were.
    QCOMPARE(cache.importImage(QUrl::fromLocalFile(u"/pictures/broken.png"_qs), u"A.png"_qs), std::nullopt);
    QCOMPARE(colorOf(cache.image(u"A.png"_qs)), QColor(Qt::blue));
    // A file imported after it was once missing shows.
    QCOMPARE(cache.image(u"B.png"_qs), std::nullopt);
    cache.importImage(QUrl::fromLocalFile(u"/pictures/green.png"_qs), u"B.png"_qs);
    QCOMPARE(colorOf(cache.image(u"B.png"_qs)), QColor(u"green"_qs));

    cache.remove(u"A.png"_qs);
    QCOMPARE(cache.image(u"A.png"_qs), std::nullopt);
    QVERIFY(!counting->files.contains(u"A.png"_qs));
}

void TestCachingCustomIconStorage::budgetBoundsMemory()
{
    auto stored = std::make_unique<CountingStorage>();
    CountingStorage *counting = stored.get();
    for (int i = 0; i < 10; ++i)
        counting->files.insert(u"%1.png"_qs.arg(i), Qt::red);
    // Room for two pictures of 64 KiB.
    CachingCustomIconStorage cache(std::move(stored), 2 * 128 * 128 * 4);
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 10; ++i)
            QVERIFY(cache.image(u"%1.png"_qs.arg(i)));
    }
    QCOMPARE(counting->reads, 20);
    QVERIFY(cache.image(u"9.png"_qs));
    QCOMPARE(counting->reads, 20);
}

QTEST_GUILESS_MAIN(TestCachingCustomIconStorage)
#include "tst_cachingcustomiconstorage.moc"
