#include "hostwindow.h"

#include "hostedview.h"
#include "panelscreens.h"
#include "x11desktop.h"

#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include <algorithm>
#include <chrono>

namespace {

// The first reading follows the request by this much; each later one waits twice as long as
// the one before. The readings end with the sixth request asked again.
constexpr std::chrono::milliseconds firstFrameCheck{100};
constexpr int frameChecks = 6;

} // namespace

HostWindow::HostWindow(Body body, Qt::WindowFlags flags)
    : QWidget(nullptr, flags)
    , m_body(body)
    , m_fixesSizeForTiling(body == Body::Shaped && X11Desktop::instance().tilesResizableWindows())
{
    if (m_body == Body::Shaped) {
        // Always an ARGB window: a compositor may start or stop while it is shown.
        setAttribute(Qt::WA_TranslucentBackground);
        connect(&X11Desktop::instance(), &X11Desktop::compositingChanged, this, &HostWindow::updateTranslucency);
    }
    updateTranslucency();
    m_frameCheck.setSingleShot(true);
    connect(&m_frameCheck, &QTimer::timeout, this, &HostWindow::checkFrameOnServer);
}

HostWindow::~HostWindow() = default;

void HostWindow::setView(HostedView *view)
{
    if (m_view == view)
        return;
    if (m_view) {
        m_view->hide();
        m_view->deleteLater();
    }
    m_view = view;
    if (!view)
        return;
    view->setParent(this);
    view->setGeometry(rect());
    view->setTranslucent(m_isTranslucent);
    // Beneath anything drawn over the content, such as the new-panel highlight.
    view->lower();
    view->show();
    updateMask();
}

Size HostWindow::fittingSize() const
{
    if (!m_view)
        return Size{};
    const QSize hint = m_view->sizeHint();
    return Size{double(std::max(hint.width(), 0)), double(std::max(hint.height(), 0))};
}

Rect HostWindow::frame() const
{
    return PanelScreens::toYUp(QRectF(geometry()));
}

Rect HostWindow::frameOnServer() const
{
    const std::optional<QRect> native = X11Desktop::instance().geometryOnServer(windowHandle());
    if (!native)
        return frame();
    return PanelScreens::toYUp(PanelScreens::fromNative(QRectF(*native), screen()));
}

void HostWindow::setFrame(const Rect &frame)
{
    const QRectF exact = PanelScreens::toQt(frame);
    // X windows cannot be empty.
    const QRect target(qRound(exact.x()), qRound(exact.y()), std::max(1, qRound(exact.width())),
                       std::max(1, qRound(exact.height())));
    // A tiling window manager would stretch a panel or popover over a tile; it floats windows
    // whose size hints fix their size. Only there: fixed hints clamp Qt's own resizes, which a
    // popover growing under a drag needs to be free of. The limits are first widened to take in
    // both sizes: narrowed straight to the new size they would resize the window where it stands,
    // asking the server for a frame that is neither the old nor the new one (a window manager may
    // push it back on screen, a third place), whose report comes back late.
    const bool fixesSize = m_body == Body::Shaped && m_fixesSizeForTiling
        && (minimumSize() != target.size() || maximumSize() != target.size());
    if (fixesSize) {
        setMinimumSize(minimumSize().boundedTo(target.size()));
        setMaximumSize(maximumSize().expandedTo(target.size()));
    }
    QWindow *handle = windowHandle();
    const bool widgetThere = target == geometry();
    // Qt keeps two records of where the window is, the widget's and the native window's, and
    // reports of earlier frames keep arriving after a later one was asked for: they can move
    // either record, one without the other, or both onto the frame wanted now while the server
    // is on its way to another. Qt then asks for nothing (its record already agrees) or for a
    // wrong frame (a move alone keeps the native record's size). So the whole frame is asked for
    // directly, unless both records and the last frame asked for all say it already.
    const bool alreadyAsked = widgetThere && handle && target == handle->geometry() && m_askedFrame == target;
    if (!widgetThere)
        setGeometry(target);
    if (fixesSize)
        setFixedSize(target.size());
    if (!handle || !isVisible() || alreadyAsked)
        return;
    askForFrame(target);
    m_frameChecksDone = 0;
    if (m_holdsFrame)
        m_frameCheck.start(firstFrameCheck);
}

void HostWindow::askForFrame(const QRect &frame)
{
    X11Desktop::instance().requestGeometry(windowHandle(), PanelScreens::toNative(frame, screen()));
    m_askedFrame = frame;
}

void HostWindow::setHoldsFrame(bool holds)
{
    m_holdsFrame = holds;
    if (!holds)
        m_frameCheck.stop();
}

void HostWindow::frameReported()
{
    // Put elsewhere after a reading found it in place, or while the next reading is far off:
    // read soon, within the readings left.
    if (!m_holdsFrame || !m_askedFrame || geometry() == *m_askedFrame || m_frameChecksDone >= frameChecks)
        return;
    if (!m_frameCheck.isActive() || m_frameCheck.remainingTime() > int(firstFrameCheck.count()))
        m_frameCheck.start(firstFrameCheck);
}

void HostWindow::checkFrameOnServer()
{
    if (!m_holdsFrame || !m_askedFrame || !isVisible())
        return;
    const QRect wanted = *m_askedFrame;
    const std::optional<QRect> onServer = X11Desktop::instance().geometryOnServer(windowHandle());
    if (!onServer || *onServer == PanelScreens::toNative(wanted, screen()))
        return;
    // A report of where the window manager left it may have moved the widget's record there.
    if (geometry() != wanted)
        setGeometry(wanted);
    askForFrame(wanted);
    if (++m_frameChecksDone < frameChecks)
        m_frameCheck.start(firstFrameCheck * (1 << m_frameChecksDone));
}

void HostWindow::setFrameOrigin(double x, double y)
{
    const Rect current = frame();
    setFrame(Rect{x, y, current.width, current.height});
}

void HostWindow::setContentSize(const Size &size)
{
    const Rect current = frame();
    setFrame(Rect{current.x, current.y, size.width, size.height});
}

void HostWindow::setTitle(const QString &title)
{
    if (title == m_title && windowTitle() == title)
        return;
    m_title = title;
    setWindowTitle(title);
    if (windowHandle() && testAttribute(Qt::WA_WState_Created))
        X11Desktop::instance().writeIdentity(windowHandle(), m_title);
}

void HostWindow::setStates(const WindowStates &states)
{
    if (states == m_states)
        return;
    if (m_isMapped)
        X11Desktop::instance().requestChange(windowHandle(), m_states, states);
    m_states = states;
}

void HostWindow::orderFront()
{
    if (!isVisible())
        show();
    raise();
}

void HostWindow::restateToWindowManager()
{
    // The new window manager may have put the window elsewhere when it adopted it, after Qt's
    // records last agreed with the frame asked for.
    m_askedFrame.reset();
    if (!m_isMapped)
        return;
    // Each state as a change from its opposite: what the new window manager took from the
    // properties may be what its predecessor left there, or nothing at all.
    const WindowStates opposite{
        .level = m_states.level == WindowLevel::normal ? WindowLevel::floating : WindowLevel::normal,
        .onAllDesktops = !m_states.onAllDesktops,
        .skipsTaskbar = !m_states.skipsTaskbar,
    };
    X11Desktop::instance().requestChange(windowHandle(), opposite, m_states);
}

void HostWindow::setAcceptsFocus(bool accepts)
{
    if (windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus) == !accepts)
        return;
    overrideWindowFlags(windowFlags().setFlag(Qt::WindowDoesNotAcceptFocus, !accepts));
    if (QWindow *handle = windowHandle()) {
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, !accepts);
        if (m_isMapped) {
            WindowStates reset = m_states;
            reset.level = WindowLevel::normal;
            X11Desktop::instance().requestChange(handle, reset, m_states);
        }
    }
}

bool HostWindow::event(QEvent *event)
{
    // A child without a layout above it posts this to its parent when its size hint changes.
    if (event->type() == QEvent::LayoutRequest && m_view) {
        const Size fitting = fittingSize();
        if (fitting.width > 0 && fitting.height > 0 && QSize(qRound(fitting.width), qRound(fitting.height)) != size())
            Q_EMIT fittingSizeChanged();
    }
    return QWidget::event(event);
}

void HostWindow::showEvent(QShowEvent *event)
{
    // Sent before Qt maps the window: the window manager reads these when it takes it over.
    if (!event->spontaneous()) {
        X11Desktop &desktop = X11Desktop::instance();
        desktop.writeBeforeMap(windowHandle(), m_states);
        desktop.writeIdentity(windowHandle(), m_title);
        m_isMapped = true;
    }
    QWidget::showEvent(event);
}

void HostWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        m_isMapped = false;
    QWidget::hideEvent(event);
}

void HostWindow::moveEvent(QMoveEvent *event)
{
    // Moved by the program other than through setFrame (Qt asked the server itself): the last
    // frame setFrame asked for may no longer be the last one asked for.
    if (!event->spontaneous())
        m_askedFrame.reset();
    else
        frameReported();
    QWidget::moveEvent(event);
    Q_EMIT moved();
}

void HostWindow::resizeEvent(QResizeEvent *event)
{
    if (!event->spontaneous())
        m_askedFrame.reset();
    else
        frameReported();
    QWidget::resizeEvent(event);
    if (m_view)
        m_view->setGeometry(rect());
    updateMask();
}

void HostWindow::paintEvent(QPaintEvent *event)
{
    if (m_body != Body::Shaped || m_isTranslucent) {
        QWidget::paintEvent(event);
        return;
    }
    // Without a compositor every pixel inside the mask must be opaque, also where the view's
    // antialiased outline leaves it partly transparent.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), palette().window().color());
}

void HostWindow::updateTranslucency()
{
    m_isTranslucent = m_body == Body::Shaped && X11Desktop::instance().isCompositing();
    if (m_view)
        m_view->setTranslucent(m_isTranslucent);
    updateMask();
    update();
}

void HostWindow::updateMask()
{
    if (m_body != Body::Shaped)
        return;
    if (m_isTranslucent || !m_view) {
        clearMask();
        return;
    }
    const QPainterPath shape = m_view->bodyShape().translated(m_view->pos());
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}
