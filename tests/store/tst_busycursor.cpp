// The busy cursor shows while the store decodes a large chosen picture, and only then.

#include "imagefixtures.h"
#include "inmemoryservices.h"
#include "store/appstore.h"
#include "store/busycursor.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

class TestBusyCursor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsOnlyWhileTheWorkRuns();
    void storeShowsItWhileALargePictureDecodes_data();
    void storeShowsItWhileALargePictureDecodes();
};

namespace {

std::optional<Qt::CursorShape> overrideShape()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor ? std::optional(cursor->shape()) : std::nullopt;
}

// The override cursor at the moment the JPEG reader reports data missing from a picture, which
// happens in the middle of decoding it.
std::optional<Qt::CursorShape> g_shapeWhileDecoding;
bool g_reported = false;

void recordShape(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QLatin1String("premature end of data"))) {
        g_shapeWhileDecoding = overrideShape();
        g_reported = true;
    }
}

} // namespace

void TestBusyCursor::showsOnlyWhileTheWorkRuns()
{
    std::optional<Qt::CursorShape> during;
    runWithBusyCursor([&] { during = overrideShape(); });
    QCOMPARE(during, Qt::WaitCursor);
    QCOMPARE(overrideShape(), std::nullopt);

    // A cursor set by someone else comes back afterwards.
    QGuiApplication::setOverrideCursor(QCursor(Qt::ClosedHandCursor));
    runWithBusyCursor([&] { during = overrideShape(); });
    QCOMPARE(during, Qt::WaitCursor);
    QCOMPARE(overrideShape(), Qt::ClosedHandCursor);
    QGuiApplication::restoreOverrideCursor();
}

void TestBusyCursor::storeShowsItWhileALargePictureDecodes_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<std::optional<Qt::CursorShape>>("expected");
    using ImageFixtures::Scan;
    QTest::newRow("192 megapixels") << ImageFixtures::jpegClaiming(16000, 12000, Scan::Baseline)
                                    << std::optional(Qt::WaitCursor);
    QTest::newRow("2 megapixels") << ImageFixtures::jpegClaiming(1600, 1200, Scan::Baseline)
                                  << std::optional<Qt::CursorShape>();
}

void TestBusyCursor::storeShowsItWhileALargePictureDecodes()
{
    QFETCH(QByteArray, picture);
    QFETCH(std::optional<Qt::CursorShape>, expected);
    QTemporaryDir temp;
    QFile source(temp.filePath(QStringLiteral("photo.jpg")));
    QVERIFY(source.open(QIODevice::WriteOnly) && source.write(picture) == picture.size());
    source.close();

    // The store's own icon storage, beside a configuration in the temporary directory.
    const QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp.path()));
    InMemoryServices services;
    AppStoreServices taken = services.take();
    taken.icons.reset();
    Panel panel = AppStore::makeDefaultPanel();
    panel.append(Item(ItemLink{.location = QUrl::fromLocalFile(QStringLiteral("/usr/bin/true"))}));
    AppStore store(std::move(taken), QList<Panel>{panel});
    qputenv("XDG_CONFIG_HOME", savedConfigHome);
    const QUuid item = store.panels().first().activeTab().items.first().id();

    g_reported = false;
    g_shapeWhileDecoding.reset();
    const QtMessageHandler previous = qInstallMessageHandler(recordShape);
    const auto result = store.setCustomIcon(QUrl::fromLocalFile(source.fileName()), item, store.panels().first().id());
    qInstallMessageHandler(previous);

    QCOMPARE(result, AppStore::SetCustomIconResult::Set);
    QVERIFY2(g_reported, "the reader reported nothing while decoding");
    QCOMPARE(g_shapeWhileDecoding, expected);
    QCOMPARE(overrideShape(), std::nullopt);
}

QTEST_MAIN(TestBusyCursor)
#include "tst_busycursor.moc"
