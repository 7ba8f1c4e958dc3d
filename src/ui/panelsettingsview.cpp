#include "panelsettingsview.h"

#include "menutitles.h"
#include "namefield.h"

#include "store/appstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace {

const QStringList snappedOnlyRows{QStringLiteral("Edge"), QStringLiteral("Alignment"), QStringLiteral("Edge Inset")};

} // namespace

PanelSettingsView::PanelSettingsView(const QUuid &panelID, AppStore &store, QWidget *parent)
    : HostedView(parent)
    , m_panelID(panelID)
    , m_store(store)
    , m_form(new QFormLayout(this))
{
    setAutoFillBackground(true);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    m_form->setContentsMargins(16, 16, 16, 16);

    AppStore *target = &store;
    // Reads of the panel as the store holds it now; the rows are filled only while it exists.
    const auto panel = [target, panelID] { return target->panel(panelID); };

    auto *name = new NameField(QStringLiteral("Name"), QString(), [target, panelID](const QString &text) {
        target->renamePanel(panelID, text);
    });
    addRow(name->title(), name, [name, panel] { name->setName(panel()->name); });

    auto *tabName = new NameField(QStringLiteral("Tab Name"), QString(), [target, panelID](const QString &text) {
        if (const Panel *current = target->panel(panelID))
            target->renameTab(current->activeTab().id, text, panelID);
    });
    addRow(tabName->title(), tabName, [tabName, panel] { tabName->setName(panel()->activeTab().name); });

    addPicker<PanelPlacementMode>(
        QStringLiteral("Position"), {}, [panel] { return panel()->placement().mode; },
        [target, panelID](PanelPlacementMode mode) { target->setPlacementMode(mode, panelID); });
    addPicker<PanelEdge>(
        QStringLiteral("Edge"), {}, [panel] { return panel()->placement().edge; },
        [target, panelID](PanelEdge edge) { target->setPlacementEdge(edge, panelID); });
    addPicker<PanelAlignment>(
        QStringLiteral("Alignment"), {}, [panel] { return panel()->placement().alignment; },
        [target, panelID](PanelAlignment alignment) { target->setPlacementAlignment(alignment, panelID); });
    addEdgeInsetSlider();
    addPicker<PanelWindowLevel>(
        QStringLiteral("Window Level"), {}, [panel] { return panel()->windowLevel(); },
        [target, panelID](PanelWindowLevel level) { target->setWindowLevel(level, panelID); });
    addToggle(
        QStringLiteral("Show on All Desktops"), QStringLiteral("showOnAllDesktopsToggle"),
        [panel] { return panel()->showsOnAllSpaces; },
        [target, panelID](bool shows) { target->setShowsOnAllSpaces(shows, panelID); });
    addToggle(
        QStringLiteral("Show Labels"), {}, [panel] { return panel()->showsItemLabels; },
        [target, panelID](bool shows) { target->setShowsItemLabels(shows, panelID); });
    addPicker<PanelIconSize>(
        QStringLiteral("Icon Size"), QStringLiteral("iconSizePicker"), [panel] { return panel()->iconSize; },
        [target, panelID](PanelIconSize size) { target->setIconSize(size, panelID); });
    addPicker<PanelIconSpacing>(
        QStringLiteral("Icon Spacing"), QStringLiteral("iconSpacingPicker"), [panel] { return panel()->iconSpacing; },
        [target, panelID](PanelIconSpacing spacing) { target->setIconSpacing(spacing, panelID); });
    addToggle(
        QStringLiteral("Highlight on Hover"), {}, [panel] { return panel()->showsHoverHighlight; },
        [target, panelID](bool shows) { target->setShowsHoverHighlight(shows, panelID); });
    addToggle(
        QStringLiteral("Show Tooltips"), {}, [panel] { return panel()->showsTooltips; },
        [target, panelID](bool shows) { target->setShowsTooltips(shows, panelID); });
    addPicker<PanelTabStyle>(
        QStringLiteral("Tab Style"), {}, [panel] { return panel()->tabStyle; },
        [target, panelID](PanelTabStyle style) { target->setTabStyle(style, panelID); });

    refresh();
    connect(&store, &AppStore::panelsChanged, this, &PanelSettingsView::refresh);
}

PanelSettingsView::~PanelSettingsView() = default;

void PanelSettingsView::addRow(const QString &label, QWidget *field, std::function<void()> refresh, bool labelled)
{
    // What takes the focus and the label: the field, or the control a compound field stands for.
    QWidget *control = controlOf(field);
    control->setAccessibleName(label);
    control->setFocusPolicy(Qt::StrongFocus);
    if (labelled) {
        auto *title = new QLabel(label);
        title->setBuddy(control);
        m_form->addRow(title, field);
    } else {
        m_form->addRow(field);
    }
    m_rows.append(Row{.label = label, .field = field, .refresh = std::move(refresh)});
}

template<typename Enum>
QComboBox *PanelSettingsView::addPicker(const QString &label, const QString &objectName, std::function<Enum()> read,
                                        std::function<void(Enum)> apply)
{
    auto *picker = new QComboBox;
    picker->setObjectName(objectName);
    for (const auto &[value, caseName] : EnumTraits<Enum>::table)
        picker->addItem(MenuTitles::menuTitle(value));
    // Only the user's choices write; the store's values arrive through the refresh.
    connect(picker, &QComboBox::activated, this, [apply](int index) {
        if (index >= 0 && index < int(EnumTraits<Enum>::table.size()))
            apply(EnumTraits<Enum>::table[size_t(index)].first);
    });
    addRow(label, picker, [picker, read] {
        const Enum current = read();
        for (size_t i = 0; i < EnumTraits<Enum>::table.size(); ++i) {
            if (EnumTraits<Enum>::table[i].first == current)
                picker->setCurrentIndex(int(i));
        }
    });
    return picker;
}

QCheckBox *PanelSettingsView::addToggle(const QString &label, const QString &objectName, std::function<bool()> read,
                                        std::function<void(bool)> apply)
{
    auto *toggle = new QCheckBox(label);
    toggle->setObjectName(objectName);
    connect(toggle, &QCheckBox::clicked, this, [apply](bool checked) { apply(checked); });
    addRow(label, toggle, [toggle, read] { toggle->setChecked(read()); }, false);
    return toggle;
}

void PanelSettingsView::addEdgeInsetSlider()
{
    auto *box = new QWidget;
    auto *line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QStringLiteral("edgeInsetSlider"));
    slider->setAccessibleName(QStringLiteral("Edge Inset"));
    slider->setRange(0, maximumEdgeInset);
    slider->setSingleStep(1);
    slider->setPageStep(4);
    auto *value = new QLabel;
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("48 pt")));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->addWidget(slider, 1);
    line->addWidget(value);
    box->setFocusProxy(slider);

    AppStore *target = &m_store;
    const QUuid panelID = m_panelID;
    connect(slider, &QSlider::valueChanged, this, [target, panelID, value](int inset) {
        value->setText(QStringLiteral("%1 pt").arg(inset));
        target->setPlacementEdgeInset(inset, panelID);
    });
    addRow(QStringLiteral("Edge Inset"), box, [target, panelID, slider, value] {
        const int inset = int(std::lround(std::clamp(target->panel(panelID)->placement().edgeInset, 0.0,
                                                     double(maximumEdgeInset))));
        const QSignalBlocker quiet(slider);
        slider->setValue(inset);
        value->setText(QStringLiteral("%1 pt").arg(inset));
    });
}

void PanelSettingsView::refresh()
{
    const Panel *panel = m_store.panel(m_panelID);
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        bool shown = panel != nullptr;
        if (row.label == QStringLiteral("Tab Name"))
            shown = shown && !panel->isTabBarVisible();
        m_form->setRowVisible(i, shown);
        if (!panel)
            continue;
        row.refresh();
        const bool enabled =
            !snappedOnlyRows.contains(row.label) || panel->placement().mode == PanelPlacementMode::Snapped;
        row.field->setEnabled(enabled);
        if (QWidget *title = m_form->labelForField(row.field))
            title->setEnabled(enabled);
    }
}

const PanelSettingsView::Row *PanelSettingsView::row(const QString &label) const
{
    for (const Row &row : m_rows) {
        if (row.label == label)
            return &row;
    }
    return nullptr;
}

QWidget *PanelSettingsView::control(const QString &label) const
{
    const Row *found = row(label);
    if (!found)
        return nullptr;
    return controlOf(found->field);
}

QWidget *PanelSettingsView::controlOf(QWidget *field)
{
    // The slider's row holds the slider and its value; the slider stands for the row.
    return field->focusProxy() ? field->focusProxy() : field;
}

bool PanelSettingsView::isShown(const QString &label) const
{
    const Row *found = row(label);
    return found && m_form->isRowVisible(found->field);
}

QSize PanelSettingsView::sizeHint() const
{
    return QSize(formWidth, m_form->sizeHint().height());
}
