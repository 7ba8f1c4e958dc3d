// The drag and drop unit without widgets: the dragged item's payload, where dropped files go, and
// which files a drop names.

#include "ui/draggedpanelitem.h"
#include "ui/externaldroptarget.h"

#include "panelitemcheck.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QUuid knownID = QUuid::fromString(u"6f1c2a9e-3b4d-4e5f-8a7b-9c0d1e2f3a4b"_s);

ItemLink link(const QUuid &id)
{
    return ItemLink{.id = id, .location = QUrl(u"file:///usr/bin/true"_s)};
}

ItemGroup group(const QUuid &id)
{
    return ItemGroup{.id = id, .name = u"Tools"_s};
}

QUuid uuid(int n)
{
    return QUuid(uint(n), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

} // namespace

class TestDragDrop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void payloadRoundTrip_data();
    void payloadRoundTrip();
    void payloadWireForm();
    void refusedPayloads_data();
    void refusedPayloads();
    void payloadOnlyUnderItsType();
    void corpus_data();
    void corpus();
    void randomBytesAreRefusedSafely();

    void externalDropTarget_data();
    void externalDropTarget();
    void externalDropTargetInGroup();

    void loadFileURLsKeepsOrder();
};

void TestDragDrop::payloadRoundTrip_data()
{
    QTest::addColumn<DraggedPanelItem>("item");
    QTest::newRow("link") << DraggedPanelItem{.id = QUuid::createUuid(), .kind = DraggedPanelItem::Kind::Link};
    QTest::newRow("group") << DraggedPanelItem{.id = QUuid::createUuid(), .kind = DraggedPanelItem::Kind::Group};
}

void TestDragDrop::payloadRoundTrip()
{
    QFETCH(DraggedPanelItem, item);
    std::unique_ptr<QMimeData> data(item.toMimeData());
    QCOMPARE(data->formats(), QStringList{u"application/x-com.fennickworks.quayrow2.panel-item"_s});
    QCOMPARE(DraggedPanelItem::fromMimeData(data.get()), item);
}

void TestDragDrop::payloadWireForm()
{
    const DraggedPanelItem item{.id = knownID, .kind = DraggedPanelItem::Kind::Group};
    QCOMPARE(item.encoded(), R"({"id":"6F1C2A9E-3B4D-4E5F-8A7B-9C0D1E2F3A4B","kind":{"group":{}}})"_ba);
}

void TestDragDrop::refusedPayloads_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("error"); // empty: any reason

    const QString kindKeys = u"Invalid number of keys found, expected one."_s;
    const QByteArray id = R"("id":"6F1C2A9E-3B4D-4E5F-8A7B-9C0D1E2F3A4B")"_ba;
    QTest::newRow("two kind keys") << QByteArray("{" + id + R"(,"kind":{"link":{},"group":{}}})") << kindKeys;
    QTest::newRow("no kind key") << QByteArray("{" + id + R"(,"kind":{}})") << kindKeys;
    QTest::newRow("unknown kind key") << QByteArray("{" + id + R"(,"kind":{"folder":{}}})") << kindKeys;
    QTest::newRow("kind a string") << QByteArray("{" + id + R"(,"kind":"link"})") << QString();
    QTest::newRow("kind value not an object") << QByteArray("{" + id + R"(,"kind":{"link":1}})") << QString();
    QTest::newRow("kind missing") << QByteArray("{" + id + "}") << QString();
    QTest::newRow("id a number") << R"({"id":7,"kind":{"link":{}}})"_ba << QString();
    QTest::newRow("id missing") << R"({"kind":{"link":{}}})"_ba << QString();
    QTest::newRow("bad UUID") << R"({"id":"6F1C2A9E-3B4D-4E5F-8A7B","kind":{"link":{}}})"_ba << QString();
    QTest::newRow("array") << QByteArray("[{" + id + R"(,"kind":{"link":{}}}])") << QString();
    QTest::newRow("not JSON") << "id=6F1C2A9E kind=link"_ba << QString();
    QTest::newRow("empty") << QByteArray() << QString();
    QByteArray garbage(1024 * 1024, '\0');
    QRandomGenerator generator(15);
    for (char &c : garbage)
        c = char(generator.bounded(256));
    QTest::newRow("1 MB of garbage") << garbage << QString();
    QTest::newRow("1 MB of valid JSON") << QByteArray("{" + id + R"(,"kind":{"link":{}},"pad":")"
                                                      + QByteArray(1024 * 1024, 'x') + "\"}")
                                        << QString();
}

void TestDragDrop::refusedPayloads()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, error);
    const DecodedPanelItem decoded = DraggedPanelItem::decode(payload);
    QVERIFY(!decoded.item);
    QVERIFY(!decoded.error.isEmpty());
    if (!error.isEmpty())
        QCOMPARE(decoded.error, error);

    QMimeData data;
    data.setData(DraggedPanelItem::mimeType(), payload);
    QVERIFY(!DraggedPanelItem::fromMimeData(&data));
}

void TestDragDrop::payloadOnlyUnderItsType()
{
    const DraggedPanelItem item{.id = knownID, .kind = DraggedPanelItem::Kind::Link};
    QMimeData data;
    data.setData(u"application/json"_s, item.encoded());
    data.setText(QString::fromUtf8(item.encoded()));
    QVERIFY(!DraggedPanelItem::fromMimeData(&data));
    QVERIFY(!DraggedPanelItem::fromMimeData(nullptr));
}

void TestDragDrop::corpus_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(QUAYROW_PANEL_ITEM_CORPUS));
    const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), "the seed corpus is missing");
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << corpus.filePath(file);
}

void TestDragDrop::corpus()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(checkPanelItemDecoding(file.readAll()));
}

// Mutations of a valid payload, byte flips and cuts: whatever is accepted survives a round trip.
void TestDragDrop::randomBytesAreRefusedSafely()
{
    const QByteArray valid = DraggedPanelItem{.id = knownID, .kind = DraggedPanelItem::Kind::Link}.encoded();
    QRandomGenerator generator(1515);
    for (int round = 0; round < 5000; ++round) {
        QByteArray bytes = valid;
        const int edits = 1 + int(generator.bounded(4));
        for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
            const qsizetype at = generator.bounded(bytes.size());
            if (generator.bounded(3) == 0)
                bytes.truncate(at);
            else
                bytes[at] = char(generator.bounded(256));
        }
        QVERIFY2(checkPanelItemDecoding(bytes), bytes.toHex().constData());
    }
}

void TestDragDrop::externalDropTarget_data()
{
    QTest::addColumn<bool>("isVertical");
    QTest::addColumn<QPointF>("at"); // along, across
    QTest::addColumn<QString>("expected");

    // Along the row: link A at 0..40, group G at 50..90, link B at 100..140 (no frame for C);
    // across it, every tile spans 10..50.
    const auto rows = [](const char *axis, bool vertical) {
        const auto row = [&](const char *name, QPointF at, const char *expected) {
            QTest::addRow("%s: %s", axis, name) << vertical << at << QString::fromLatin1(expected);
        };
        row("left half of a link", {19, 30}, "before A");
        row("right half of a link", {21, 30}, "before G");
        row("before the group's inset", {53.9, 30}, "before G");
        row("group at its inset", {54, 30}, "group G");
        row("group past its trailing side", {96, 30}, "group G");
        row("beyond the group's reach, left half of B", {96.1, 30}, "before B");
        row("group 6 above", {70, 4}, "group G");
        row("above the group's reach", {70, 3.9}, "before B");
        row("group 20 below", {70, 70}, "group G");
        row("below the group's reach, right half of G", {70.1, 70.1}, "before B");
        row("right half of the last framed item", {130, 30}, "end");
        row("far away across", {10, 500}, "before A");
    };
    rows("horizontal", false);
    rows("vertical", true);
}

void TestDragDrop::externalDropTarget()
{
    QFETCH(bool, isVertical);
    QFETCH(QPointF, at);
    QFETCH(QString, expected);

    const auto frame = [&](double along0, double along1) {
        return isVertical ? QRectF(QPointF(10, along0), QPointF(50, along1))
                          : QRectF(QPointF(along0, 10), QPointF(along1, 50));
    };
    const QList<Item> items{link(uuid(1)), group(uuid(2)), link(uuid(3)), link(uuid(4))};
    const QHash<QUuid, QRectF> frames{{uuid(1), frame(0, 40)}, {uuid(2), frame(50, 90)}, {uuid(3), frame(100, 140)}};
    const QHash<QString, ExternalDropTarget> names{
        {u"before A"_s, ExternalDropTarget::before(uuid(1))}, {u"before G"_s, ExternalDropTarget::before(uuid(2))},
        {u"group G"_s, ExternalDropTarget::group(uuid(2))},   {u"before B"_s, ExternalDropTarget::before(uuid(3))},
        {u"end"_s, ExternalDropTarget::end()},
    };
    const QPointF point = isVertical ? QPointF(at.y(), at.x()) : at;
    QVERIFY(::externalDropTarget(point, items, frames, isVertical) == names.value(expected));
    QVERIFY(::externalDropTarget(point, {}, frames, isVertical) == ExternalDropTarget::end());
    QVERIFY(::externalDropTarget(point, items, {}, isVertical) == ExternalDropTarget::end());
}

void TestDragDrop::externalDropTargetInGroup()
{
    const QList<ItemLink> links{link(uuid(1)), link(uuid(2))};
    const QHash<QUuid, QRectF> frames{{uuid(1), QRectF(0, 0, 40, 40)}, {uuid(2), QRectF(50, 0, 40, 40)}};
    QVERIFY(::externalDropTarget(QPointF(10, 20), links, frames) == ExternalDropTarget::before(uuid(1)));
    QVERIFY(::externalDropTarget(QPointF(60, 20), links, frames) == ExternalDropTarget::before(uuid(2)));
    QVERIFY(::externalDropTarget(QPointF(80, 20), links, frames) == ExternalDropTarget::end());
}

void TestDragDrop::loadFileURLsKeepsOrder()
{
    const QByteArray uriList = "# dragged from a file manager\r\n"
                               "file:///home/user/b%20notes.txt\r\n"
                               "https://example.org/a.txt\r\n"
                               "relative/path.txt\r\n"
                               "file:///home/user/%C3%A9t%C3%A9%20photos\r\n"
                               "file://otherhost/srv/share\r\n"
                               "file://localhost/etc/hosts\r\n"
                               "file:///a.desktop\r\n";
    QMimeData data;
    data.setData(u"text/uri-list"_s, uriList);
    const QList<QUrl> files = loadFileURLs(&data);
    QStringList paths;
    for (const QUrl &url : files)
        paths << url.toDisplayString();
    QCOMPARE(paths, (QStringList{u"file:///home/user/b notes.txt"_s, u"file:///home/user/été photos"_s,
                                 u"file://localhost/etc/hosts"_s, u"file:///a.desktop"_s}));

    QMimeData text;
    text.setText(u"/home/user/file.txt"_s);
    QVERIFY(loadFileURLs(&text).isEmpty());
    QVERIFY(loadFileURLs(nullptr).isEmpty());
}

QTEST_APPLESS_MAIN(TestDragDrop)
#include "tst_dragdrop.moc"
