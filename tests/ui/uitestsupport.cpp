#include "uitestsupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

QIcon DrawingFileSystem::icon(const QUrl &location)
{
    ++iconRequests;
    if (icons.contains(location))
        return icons.value(location);
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(16, 16, 32, 32, colors.value(location, QColor(0x80, 0x80, 0x80)));
    painter.end();
    return QIcon(pixmap);
}

QString DrawingFileSystem::name(const QUrl &location)
{
    return QFileInfo(location.path()).completeBaseName();
}

UiFixture::UiFixture(const QList<Panel> &panels)
{
    AppStoreServices taken = services.take();
    auto drawing = std::make_unique<DrawingFileSystem>();
    fileSystem = drawing.get();
    taken.fileSystem = std::move(drawing);
    auto recording = std::make_unique<RecordingLauncher>();
    launcher = recording.get();
    taken.launcher = std::move(recording);
    store = std::make_unique<AppStore>(std::move(taken), panels);
}

QStringList titlesOf(const QMenu &menu)
{
    QStringList titles;
    for (const QAction *action : menu.actions())
        titles.append(action->isSeparator() ? QString() : action->text());
    return titles;
}

QAction *entry(const QMenu &menu, const QString &title)
{
    for (QAction *action : menu.actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

QUrl fileAt(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

ItemLink linkTo(const QString &path)
{
    return ItemLink{.location = fileAt(path)};
}

PanelTab tabWith(const QString &name, const QList<Item> &items, bool showsRunningApps)
{
    PanelTab tab;
    tab.name = name;
    tab.items = items;
    tab.showsRunningApps = showsRunningApps;
    return tab;
}

PanelPlacement snappedTo(PanelEdge edge, PanelAlignment alignment)
{
    return PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = edge, .alignment = alignment};
}

Panel panelWith(const QList<PanelTab> &tabs, const PanelPlacement &placement, bool tabBarShown)
{
    return Panel(PanelInit{.name = QStringLiteral("Panel"), .tab = tabs.first(), .moreTabs = tabs.mid(1),
                           .didRevealTabBar = tabBarShown, .placement = placement});
}

AlertAnswerer::AlertAnswerer(const QString &button)
    : m_button(button)
{
    connect(&m_timer, &QTimer::timeout, this, &AlertAnswerer::look);
    m_timer.start(5);
}

void AlertAnswerer::look()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (!box || !box->isVisible())
            continue;
        message = box->text();
        informativeText = box->informativeText();
        if (const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
            informativeFormat = label->textFormat();
        buttons.clear();
        QAbstractButton *chosen = nullptr;
        for (QAbstractButton *button : box->buttons()) {
            buttons.append(button->text());
            if (button->text() == m_button)
                chosen = button;
        }
        ++answered;
        m_timer.stop();
        if (chosen)
            chosen->click();
        else
            box->reject();
        return;
    }
}

struct ManualClock::Call
{
    std::chrono::milliseconds due{0};
    std::function<void()> work;
};

struct ManualCall final : DeferredCall
{
    ManualCall(std::shared_ptr<QList<ManualClock::Call *>> calls, const std::chrono::milliseconds *now)
        : m_calls(std::move(calls))
        , m_now(now)
    {
        m_calls->append(&m_call);
    }
    ~ManualCall() override { m_calls->removeAll(&m_call); }

    void start(std::chrono::milliseconds delay, std::function<void()> work) override
    {
        m_call.due = *m_now + delay;
        m_call.work = std::move(work);
    }
    void cancel() override { m_call.work = nullptr; }
    bool isPending() const override { return bool(m_call.work); }

    std::shared_ptr<QList<ManualClock::Call *>> m_calls;
    const std::chrono::milliseconds *m_now;
    ManualClock::Call m_call;
};

ManualClock::ManualClock()
    : m_calls(std::make_shared<QList<Call *>>())
{
    DeferredCalls::setFactory([this] { return std::make_unique<ManualCall>(m_calls, &m_now); });
}

ManualClock::~ManualClock()
{
    DeferredCalls::setFactory(nullptr);
}

void ManualClock::advance(std::chrono::milliseconds step)
{
    m_now += step;
    // A call's work may start or destroy calls: run one due call at a time from a fresh list.
    for (bool ran = true; ran;) {
        ran = false;
        for (Call *call : std::as_const(*m_calls)) {
            if (call->work && call->due <= m_now) {
                const std::function<void()> work = std::move(call->work);
                call->work = nullptr;
                work();
                ran = true;
                break;
            }
        }
    }
}

int ManualClock::pendingCount() const
{
    return int(std::count_if(m_calls->cbegin(), m_calls->cend(), [](const Call *call) { return bool(call->work); }));
}
