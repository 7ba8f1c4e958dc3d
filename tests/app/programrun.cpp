#include "programrun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace ProgramRun {

Outcome run(const QStringList &arguments, const QString &configHome, Platform platform)
{
    QProcess process;
#if !defined(__SANITIZE_ADDRESS__)
    // Sanitizers need far more address space, so they run without the limit.
    process.setChildProcessModifier([] {
        const rlimit limit{rlim_t(2) << 30, rlim_t(2) << 30};
        ::setrlimit(RLIMIT_AS, &limit);
    });
#endif
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.remove(u"QT_QPA_PLATFORM"_s);
    if (platform == Platform::Offscreen) {
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        // Qt warns on standard error without one; a private folder of the owner's only.
        const QString runtime = configHome + u"/runtime"_s;
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUAYROW2_EXECUTABLE), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void writeFile(const QString &path, const QByteArray &bytes, int ageSeconds)
{
    if (bytes == absent)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.close();
    if (ageSeconds > 0) {
        const timespec then{std::time(nullptr) - ageSeconds, 0};
        const timespec times[2] = {then, then};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : absent;
}

} // namespace ProgramRun
