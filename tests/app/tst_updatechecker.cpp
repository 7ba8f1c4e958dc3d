// The update check against feeds served on loopback, and the dialog that tells its outcome.

#include "feedserver.h"
#include "urlrecorder.h"

#include "app/updatechecker.h"
#include "app/updatemanager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHostAddress>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(UpdateCheckResult::Kind)
Q_DECLARE_METATYPE(FeedServer::Answer)

namespace {

using Kind = UpdateCheckResult::Kind;

const QByteArray sparkle = R"(xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle")";

QByteArray feed(const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" " + sparkle
        + "><channel><title>Quayrow 2</title>" + items + "</channel></rss>";
}

// An item with its version in <sparkle:shortVersionString> and a link to its page.
QByteArray item(const QByteArray &version, const QByteArray &extra = {})
{
    return "<item><title>" + version + "</title><link>https://www.fennickworks.com/quayrow2/" + version
        + "/</link><sparkle:shortVersionString>" + version + "</sparkle:shortVersionString>" + extra + "</item>";
}

QByteArray enclosureItem(const QByteArray &version, const QByteArray &os)
{
    return "<item><link>https://www.fennickworks.com/quayrow2/" + version + "/</link><enclosure url=\"https://dl/"
        + version + "\" sparkle:version=\"" + version + "\"" + (os.isEmpty() ? QByteArray() : " sparkle:os=\"" + os + "\"")
        + "/></item>";
}

QString pageOf(const QString &version)
{
    return u"https://www.fennickworks.com/quayrow2/%1/"_s.arg(version);
}

// A loopback port on which nothing listens.
QUrl refusingAddress()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return QUrl(u"http://127.0.0.1:%1/appcast.xml"_s.arg(server.serverPort()));
}

} // namespace

class TestUpdateChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void feedCases_data();
    void feedCases();
    void refusedAddresses_data();
    void refusedAddresses();
    void dialogTellsTheOutcome();
};

void TestUpdateChecker::feedCases_data()
{
    QTest::addColumn<FeedServer::Answer>("answer");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("page");   // "server:" + path: on the test server
    QTest::addColumn<QString>("error");  // a part of the message

    const auto ok = [](const QByteArray &body) { return FeedServer::Answer{.body = body}; };
    QTest::newRow("newer") << ok(feed(item("2.1"))) << Kind::NewerAvailable << u"2.1"_s << pageOf(u"2.1"_s) << QString();
    QTest::newRow("same") << ok(feed(item("2.0.0"))) << Kind::UpToDate << u"2.0.0"_s << QString() << QString();
    QTest::newRow("same with fewer parts") << ok(feed(item("2.0"))) << Kind::UpToDate << u"2.0.0"_s << QString() << QString();
    QTest::newRow("older") << ok(feed(item("1.9.5"))) << Kind::UpToDate << u"2.0.0"_s << QString() << QString();
    QTest::newRow("several items, numerically newest wins")
        << ok(feed(item("2.0.1") + item("2.10") + item("2.9") + item("1.0")))
        << Kind::NewerAvailable << u"2.10"_s << pageOf(u"2.10"_s) << QString();
    QTest::newRow("no items") << ok(feed({})) << Kind::UpToDate << u"2.0.0"_s << QString() << QString();
    QTest::newRow("version on the enclosure") << ok(feed(enclosureItem("2.2", {}))) << Kind::NewerAvailable << u"2.2"_s
                                              << pageOf(u"2.2"_s) << QString();
    QTest::newRow("items for other systems are skipped")
        << ok(feed(enclosureItem("3.0", "windows") + enclosureItem("2.9", "macos") + enclosureItem("2.5", "linux")))
        << Kind::NewerAvailable << u"2.5"_s << pageOf(u"2.5"_s) << QString();
    QTest::newRow("an item of an opt-in channel is skipped")
        << ok(feed(item("3.0", "<sparkle:channel>beta</sparkle:channel>") + item("2.0.2")))
        << Kind::NewerAvailable << u"2.0.2"_s << pageOf(u"2.0.2"_s) << QString();
    QTest::newRow("a version that is no number is skipped")
        << ok(feed(item("beta") + item("2.0.3"))) << Kind::NewerAvailable << u"2.0.3"_s << pageOf(u"2.0.3"_s) << QString();
    QTest::newRow("relative link, resolved against the feed")
        << ok(feed("<item><link>notes/2.4.html</link><sparkle:version>2.4</sparkle:version></item>"))
        << Kind::NewerAvailable << u"2.4"_s << u"server:/notes/2.4.html"_s << QString();
    QTest::newRow("a page that is not a web page is never offered")
        << ok(feed("<item><link>file:///etc/passwd</link><sparkle:version>9</sparkle:version></item>"))
        << Kind::UpToDate << u"2.0.0"_s << QString() << QString();
    QTest::newRow("malformed XML") << ok("<rss><channel><item>") << Kind::Failed << QString() << QString()
                                   << u"could not be read"_s;
    QTest::newRow("not a feed") << ok("<html><body>Moved</body></html>") << Kind::Failed << QString() << QString()
                                << u"not an RSS feed"_s;
    QTest::newRow("HTTP 404") << FeedServer::Answer{.status = 404, .body = "gone"} << Kind::Failed << QString()
                              << QString() << u"404"_s;
    QTest::newRow("never answers") << FeedServer::Answer{.never = true} << Kind::Failed << QString() << QString()
                                   << u"did not answer within 0.3 seconds"_s;
    QTest::newRow("redirect to plain http elsewhere")
        << FeedServer::Answer{.status = 302, .location = "http://www.fennickworks.com/appcast.xml"} << Kind::Failed
        << QString() << QString() << u"not allowed"_s;
}

void TestUpdateChecker::feedCases()
{
    QFETCH(FeedServer::Answer, answer);
    QFETCH(Kind, kind);
    QFETCH(QString, page);
    QFETCH(QString, error);
    FeedServer server(answer);
    UpdateChecker checker(QVersionNumber(2, 0, 0));
    checker.setTimeout(std::chrono::milliseconds(300));
    QSignalSpy finished(&checker, &UpdateChecker::finished);

    checker.check(server.url());
    QVERIFY(finished.wait(10000));
    const auto result = finished.at(0).at(0).value<UpdateCheckResult>();
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QCOMPARE(result.kind, kind);
    QTEST(result.version, "version");
    if (page.startsWith(u"server:"))
        page = server.url(page.mid(7)).toString();
    QCOMPARE(result.page.toString(), page);
    QVERIFY(!checker.isChecking());
}

void TestUpdateChecker::refusedAddresses_data()
{
    QTest::addColumn<QUrl>("address");
    QTest::addColumn<QString>("error");

    QTest::newRow("connection refused") << refusingAddress() << u"refused the connection"_s;
    QTest::newRow("plain http elsewhere") << QUrl(u"http://www.fennickworks.com/appcast.xml"_s) << u"not allowed"_s;
    QTest::newRow("not a web address") << QUrl(u"ftp://www.fennickworks.com/appcast.xml"_s) << u"not allowed"_s;
    QTest::newRow("no address") << QUrl(u"appcast.xml"_s) << u"not a valid web address"_s;
}

void TestUpdateChecker::refusedAddresses()
{
    QFETCH(QUrl, address);
    QFETCH(QString, error);
    UpdateChecker checker(QVersionNumber(2, 0, 0));
    QSignalSpy finished(&checker, &UpdateChecker::finished);
    checker.check(address);
    QCOMPARE(finished.count(), 0);  // never reported before check() returns
    QVERIFY(finished.wait(10000));
    const auto result = finished.at(0).at(0).value<UpdateCheckResult>();
    QCOMPARE(result.kind, Kind::Failed);
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
}

void TestUpdateChecker::dialogTellsTheOutcome()
{
    FeedServer server({.body = feed(item("2.0.1") + item("2.3"))});
    qputenv("QUAYROW2_UPDATE_FEED", server.url().toEncoded());
    UpdateManager updates;
    QCoreApplication::processEvents();
    QCOMPARE(server.connections(), 0);  // nothing before the user asks

    updates.checkForUpdates();
    QMessageBox *dialog = updates.dialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->text(), u"Checking for updates…"_s);
    QTRY_COMPARE(dialog->text(), u"A new version of Quayrow 2 is available."_s);
    QCOMPARE(dialog->informativeText(), u"Version 2.3 is available; you have %1."_s.arg(QStringLiteral(QUAYROW_VERSION)));
    QCOMPARE(server.connections(), 1);

    QAbstractButton *download = nullptr;
    QStringList titles;
    for (QAbstractButton *button : dialog->buttons()) {
        titles.append(button->text());
        if (button->text() == u"Download")
            download = button;
    }
    QCOMPARE(titles.size(), 2);
    QVERIFY(titles.contains(u"Not Now"_s));
    QVERIFY(download);
    UrlRecorder browser;
    download->click();
    QCOMPARE(browser.opened, QList<QUrl>{QUrl(pageOf(u"2.3"_s))});
    QTRY_VERIFY(!updates.dialog());

    // A failure is told in words, in the same kind of dialog.
    qputenv("QUAYROW2_UPDATE_FEED", "http://www.fennickworks.com/appcast.xml");
    updates.checkForUpdates();
    QTRY_COMPARE(updates.dialog()->text(), u"Quayrow 2 could not check for updates."_s);
    QVERIFY(updates.dialog()->informativeText().contains(u"not allowed"_s));
    QCOMPARE(updates.dialog()->buttons().size(), 1);
    qunsetenv("QUAYROW2_UPDATE_FEED");
}

QTEST_MAIN(TestUpdateChecker)
#include "tst_updatechecker.moc"
