#include "desktopentry.h"

#include "glibptr.h"

#include "persistence/boundedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Real desktop entries are a few kilobytes; anything far larger is not one.
constexpr qint64 maxDesktopEntryBytes = 1024 * 1024;
constexpr const char *group = "Desktop Entry";

QString stringValue(GKeyFile *keyFile, const char *key)
{
    const GCharPtr value(g_key_file_get_string(keyFile, group, key, nullptr));
    return value ? QString::fromUtf8(value.get()) : QString();
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
    const GCharPtr name(g_key_file_get_locale_string(keyFile.get(), group, "Name", nullptr, nullptr));
    if (name)
        entry.name = QString::fromUtf8(name.get()).trimmed();
    entry.icon = stringValue(keyFile.get(), "Icon").trimmed();
    entry.exec = stringValue(keyFile.get(), "Exec");
    entry.tryExec = stringValue(keyFile.get(), "TryExec").trimmed();
    entry.startupWmClass = stringValue(keyFile.get(), "StartupWMClass").trimmed();
    entry.workingDirectory = stringValue(keyFile.get(), "Path").trimmed();
    entry.hidden = g_key_file_get_boolean(keyFile.get(), group, "Hidden", nullptr);
    return entry;
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
