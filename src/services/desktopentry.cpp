#include "desktopentry.h"

#include "glibptr.h"

#include "persistence/boundedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

// Real desktop entries are a few kilobytes; anything far larger is not one.
constexpr qint64 maxDesktopEntryBytes = 1024 * 1024;
constexpr const char *group = "Desktop Entry";

QString stringValue(GKeyFile *keyFile, const char *key, const char *groupName = group)
{
    const GCharPtr value(g_key_file_get_string(keyFile, groupName, key, nullptr));
    return value ? QString::fromUtf8(value.get()) : QString();
}

QString localeStringValue(GKeyFile *keyFile, const char *key, const char *groupName = group)
{
    const GCharPtr value(g_key_file_get_locale_string(keyFile, groupName, key, nullptr, nullptr));
    return value ? QString::fromUtf8(value.get()).trimmed() : QString();
}

QList<ApplicationAction> readActions(GKeyFile *keyFile, bool isDBusActivatable)
{
    QList<ApplicationAction> actions;
    gsize count = 0;
    const GStrvPtr ids(g_key_file_get_string_list(keyFile, group, "Actions", &count, nullptr));
    for (gsize i = 0; ids && i < count; ++i) {
        const QString id = QString::fromUtf8(ids.get()[i]).trimmed();
        if (id.isEmpty() || std::any_of(actions.cbegin(), actions.cend(), [&id](const ApplicationAction &action) {
                return action.id == id;
            })) {
            continue;
        }
        const QByteArray actionGroup = "Desktop Action " + id.toUtf8();
        ApplicationAction action{id, localeStringValue(keyFile, "Name", actionGroup.constData()),
                                 stringValue(keyFile, "Icon", actionGroup.constData()).trimmed()};
        const bool runs = isDBusActivatable || !stringValue(keyFile, "Exec", actionGroup.constData()).trimmed().isEmpty();
        if (!action.name.isEmpty() && runs)
            actions.append(std::move(action));
    }
    return actions;
}

} // namespace

bool hasDesktopEntrySuffix(const QString &path)
{
    return path.endsWith(QLatin1String(".desktop"));
}

std::optional<DesktopEntry> readDesktopEntry(const QString &path)
{
    const std::optional<QByteArray> data = BoundedFile::read(path, maxDesktopEntryBytes);
    if (!data)
        return std::nullopt;
    const GKeyFilePtr keyFile(g_key_file_new());
    if (!g_key_file_load_from_data(keyFile.get(), data->constData(), static_cast<gsize>(data->size()),
                                   G_KEY_FILE_NONE, nullptr)
        || !g_key_file_has_group(keyFile.get(), group)) {
        return std::nullopt;
    }

    DesktopEntry entry;
    entry.type = stringValue(keyFile.get(), "Type");
    if (entry.type.isEmpty())
        return std::nullopt;
    entry.name = localeStringValue(keyFile.get(), "Name");
    entry.icon = stringValue(keyFile.get(), "Icon").trimmed();
    entry.exec = stringValue(keyFile.get(), "Exec");
    entry.tryExec = stringValue(keyFile.get(), "TryExec").trimmed();
    entry.startupWmClass = stringValue(keyFile.get(), "StartupWMClass").trimmed();
    entry.workingDirectory = stringValue(keyFile.get(), "Path").trimmed();
    entry.hidden = g_key_file_get_boolean(keyFile.get(), group, "Hidden", nullptr);
    entry.isDBusActivatable = g_key_file_get_boolean(keyFile.get(), group, "DBusActivatable", nullptr);
    entry.isSingleMainWindow = g_key_file_get_boolean(keyFile.get(), group, "SingleMainWindow", nullptr);
    entry.actions = readActions(keyFile.get(), entry.isDBusActivatable);
    return entry;
}

QString newWindowActionID()
{
    return QStringLiteral("new-window");
}

NewWindowRoute newWindowRoute(const DesktopEntry &entry)
{
    if (entry.isSingleMainWindow)
        return NewWindowRoute::None;
    const QString actionID = newWindowActionID();
    if (std::any_of(entry.actions.cbegin(), entry.actions.cend(),
                    [&actionID](const ApplicationAction &action) { return action.id == actionID; }))
        return NewWindowRoute::NewWindowAction;
    // Activating a D-Bus application that runs only shows it.
    return entry.isDBusActivatable ? NewWindowRoute::None : NewWindowRoute::NewProcess;
}

QStringList execArguments(const QString &exec)
{
    gint count = 0;
    gchar **raw = nullptr;
    if (exec.trimmed().isEmpty() || !g_shell_parse_argv(exec.toUtf8().constData(), &count, &raw, nullptr))
        return {};
    const GStrvPtr arguments(raw);
    QStringList result;
    result.reserve(count);
    for (gint i = 0; i < count; ++i)
        result.append(QString::fromUtf8(arguments.get()[i]));
    return result;
}

QString resolveProgramPath(const QString &program)
{
    if (program.isEmpty())
        return {};
    const QString path = QDir::isAbsolutePath(program) ? program : QStandardPaths::findExecutable(program);
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}
