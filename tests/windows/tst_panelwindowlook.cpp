#include "windowfixture.h"

#include "windows/x11desktop.h"

#include <QApplication>
#include <QPalette>

namespace {

X11Session &session()
{
    return X11Session::current();
}

int distance(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
}

bool looksLike(QRgb actual, QRgb expected)
{
    return distance(actual, expected) <= 6;
}

} // namespace

// What the screen shows of a panel window: its corners and body with and without a compositor.
class TestPanelWindowLook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void opaqueAndShapedWithoutACompositor();
    void translucentUnderACompositor();
    void backToShapedWhenTheCompositorStops();

private:
    std::unique_ptr<WindowFixture> m_fixture;
    QRgb m_body = 0;
};

void TestPanelWindowLook::initTestCase()
{
    m_fixture = std::make_unique<WindowFixture>(QList{panelNamed(u"Look"_qs, 0, freeAt(PanelFreePosition(0.5, 0.5)))});
    QVERIFY(m_fixture->allManaged());
    m_body = m_fixture->window(0)->palette().window().color().rgb();
}

void TestPanelWindowLook::opaqueAndShapedWithoutACompositor()
{
    QVERIFY(!X11Desktop::instance().isCompositing());
    const QRect frame = session().frame(m_fixture->xid(0));
    QVERIFY(!m_fixture->window(0)->view()->isTranslucent());
    // The corner outside the rounded body shows the desktop, not black; inside is opaque.
    QTRY_VERIFY(looksLike(session().pixel(frame.topLeft() + QPoint(1, 1)), X11Session::rootColor));
    QVERIFY(looksLike(session().pixel(frame.bottomRight() - QPoint(1, 1)), X11Session::rootColor));
    QTRY_VERIFY(looksLike(session().pixel(QPoint(frame.center().x(), frame.top() + 2)), m_body));
    QVERIFY(looksLike(session().pixel(frame.center()), m_body));
}

void TestPanelWindowLook::translucentUnderACompositor()
{
    QVERIFY(session().startCompositor());
    QTRY_VERIFY(m_fixture->window(0)->view()->isTranslucent());
    const QRect frame = session().frame(m_fixture->xid(0));
    // picom paints the desktop itself (grey without a wallpaper).
    const auto desktop = [&frame] { return session().pixel(frame.topLeft() - QPoint(10, 10)); };
    QTRY_VERIFY(looksLike(session().pixel(frame.topLeft() + QPoint(1, 1)), desktop()));
    // 80 % body over the desktop.
    const auto blended = [&] {
        const QRgb d = desktop();
        return qRgb(qRed(m_body) * 8 / 10 + qRed(d) * 2 / 10, qGreen(m_body) * 8 / 10 + qGreen(d) * 2 / 10,
                    qBlue(m_body) * 8 / 10 + qBlue(d) * 2 / 10);
    };
    QTRY_VERIFY2(looksLike(session().pixel(frame.center()), blended()),
                 qPrintable(QString::number(session().pixel(frame.center()), 16)));
}

void TestPanelWindowLook::backToShapedWhenTheCompositorStops()
{
    QVERIFY(session().stopCompositor());
    QTRY_VERIFY(!m_fixture->window(0)->view()->isTranslucent());
    const QRect frame = session().frame(m_fixture->xid(0));
    QTRY_VERIFY(looksLike(session().pixel(frame.center()), m_body));
    QTRY_VERIFY(looksLike(session().pixel(frame.topLeft() + QPoint(1, 1)), X11Session::rootColor));
}

QUAYROW_X11_TEST_MAIN(TestPanelWindowLook)
#include "tst_panelwindowlook.moc"
