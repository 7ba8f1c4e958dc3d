#include "launcherentrytable.h"

#include <QDBusArgument>
#include <QMetaType>
#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A file name: what a desktop file id is. Long or odd ids are refused rather than kept.
constexpr qsizetype maxApplicationIDLength = 255;

std::optional<QString> applicationIDOf(const QVariant &uri)
{
    if (uri.typeId() != QMetaType::QString)
        return std::nullopt;
    static const QString scheme = QStringLiteral("application://");
    const QString text = uri.toString();
    if (!text.startsWith(scheme))
        return std::nullopt;
    const QString id = text.mid(scheme.size());
    const bool plainName = !id.contains(QLatin1Char('/')) && !id.contains(QChar(0)) && !id.startsWith(QLatin1Char('.'));
    if (!plainName || id.size() > maxApplicationIDLength || !id.endsWith(QLatin1String(".desktop"))
        || id.size() == qsizetype(qstrlen(".desktop")))
        return std::nullopt;
    return id;
}

std::optional<QVariantMap> propertiesOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QVariantMap)
        return value.toMap();
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a{sv}"))
        return std::nullopt;
    QVariantMap map;
    argument >> map;
    return map;
}

std::optional<bool> booleanOf(const QVariant &value)
{
    if (value.typeId() != QMetaType::Bool)
        return std::nullopt;
    return value.toBool();
}

// Any integer type D-Bus has; a count beyond a 32-bit count is garbage, not a number of things.
std::optional<qint64> countOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
        break;
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint32>::max()))
            return std::nullopt;
        break;
    default:
        return std::nullopt;
    }
    const qint64 count = value.toLongLong();
    if (count < 0 || count > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return count;
}

std::optional<double> progressOf(const QVariant &value)
{
    if (value.typeId() != QMetaType::Double)
        return std::nullopt;
    const double progress = value.toDouble();
    if (!std::isfinite(progress))
        return std::nullopt;
    return std::clamp(progress, 0.0, 1.0);
}

} // namespace

std::optional<LauncherEntryUpdate> parseLauncherEntryUpdate(const QVariantList &arguments)
{
    if (arguments.size() != 2)
        return std::nullopt;
    const std::optional<QString> applicationID = applicationIDOf(arguments.at(0));
    const std::optional<QVariantMap> properties = propertiesOf(arguments.at(1));
    if (!applicationID || !properties)
        return std::nullopt;
    LauncherEntryUpdate update;
    update.applicationID = *applicationID;
    const QVariantMap &p = *properties;
    update.count = countOf(p.value(QStringLiteral("count")));
    update.countVisible = booleanOf(p.value(QStringLiteral("count-visible")));
    update.progress = progressOf(p.value(QStringLiteral("progress")));
    update.progressVisible = booleanOf(p.value(QStringLiteral("progress-visible")));
    update.urgent = booleanOf(p.value(QStringLiteral("urgent")));
    return update;
}

LauncherEntry LauncherEntryTable::State::shown() const
{
    LauncherEntry entry;
    // A count of nothing is no news: no badge for it.
    if (countVisible && count > 0)
        entry.count = count;
    if (progressVisible)
        entry.progress = progress;
    entry.isUrgent = urgent;
    return entry;
}

bool LauncherEntryTable::apply(const QString &sender, const LauncherEntryUpdate &update)
{
    auto state = m_states.find(update.applicationID);
    if (state == m_states.end()) {
        if (m_states.size() >= maxApplications)
            return false;
        state = m_states.insert(update.applicationID, State{});
    }
    const LauncherEntry before = state->shown();
    state->sender = sender;
    state->count = update.count.value_or(state->count);
    state->countVisible = update.countVisible.value_or(state->countVisible);
    state->progress = update.progress.value_or(state->progress);
    state->progressVisible = update.progressVisible.value_or(state->progressVisible);
    state->urgent = update.urgent.value_or(state->urgent);
    return state->shown() != before;
}

QStringList LauncherEntryTable::removeSender(const QString &sender)
{
    QStringList changed;
    for (auto state = m_states.begin(); state != m_states.end();) {
        if (state->sender != sender) {
            ++state;
            continue;
        }
        if (state->shown() != LauncherEntry())
            changed.append(state.key());
        state = m_states.erase(state);
    }
    return changed;
}

bool LauncherEntryTable::hasSender(const QString &sender) const
{
    return std::any_of(m_states.cbegin(), m_states.cend(), [&sender](const State &state) { return state.sender == sender; });
}

LauncherEntry LauncherEntryTable::entry(const QString &applicationID) const
{
    const auto state = m_states.constFind(applicationID);
    return state == m_states.cend() ? LauncherEntry() : state->shown();
}
