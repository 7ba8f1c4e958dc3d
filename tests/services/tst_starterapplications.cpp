#include "testdesktop.h"

#include "services/starterapplications.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextStream>

// GIO reads the application folders once per process, so every desktop variant is resolved in a
// child process of this test, started with the variant's name in this variable.
static const char variantVariable[] = "QUAYROW_STARTER_VARIANT";

class TestStarterApplications : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void firstLaunch_data();
    void firstLaunch();
};

void TestStarterApplications::initTestCase()
{
    if (QStandardPaths::findExecutable(u"update-desktop-database"_qs).isEmpty())
        QSKIP("update-desktop-database (desktop-file-utils) is not installed");
}

void TestStarterApplications::firstLaunch_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QStringList>("expected"); // .desktop files of the applications directory

    QTest::newRow("GNOME-like: defaults, the terminal alternative, one application for two roles")
        << u"gnome"_qs
        << QStringList{u"org.gnome.Evolution.desktop"_qs, u"org.gnome.TextEditor.desktop"_qs,
                       u"org.gnome.Polari.desktop"_qs, u"org.gnome.eog.desktop"_qs, u"org.gnome.Music.desktop"_qs,
                       u"org.gnome.Settings.desktop"_qs, u"org.gnome.Terminal.desktop"_qs};
    QTest::newRow("KDE-like: well-known applications where no default answers, no messaging")
        << u"kde"_qs
        << QStringList{u"org.kde.kmail2.desktop"_qs, u"org.kde.korganizer.desktop"_qs, u"org.kde.kate.desktop"_qs,
                       u"org.kde.gwenview.desktop"_qs, u"org.kde.elisa.desktop"_qs, u"systemsettings.desktop"_qs,
                       u"org.kde.konsole.desktop"_qs};
    QTest::newRow("bare: hidden and uninstalled entries never count, only the terminal is left")
        << u"bare"_qs << QStringList{u"debian-xterm.desktop"_qs};
}

void TestStarterApplications::firstLaunch()
{
    QFETCH(QString, variant);
    QFETCH(QStringList, expected);

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(variantVariable), variant);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60'000));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             child.readAllStandardError().constData());
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             expected);
}

namespace {

// An application whose program is in the variant's PATH, as installed packages are; GIO takes an
// entry whose program is missing for an uninstalled one.
class Installer
{
public:
    Installer(const TestDesktop &desktop, const QDir &bin) : m_desktop(desktop), m_bin(bin) {}

    void program(const QString &name) const
    {
        if (!QFile::copy(u"/bin/true"_qs, m_bin.filePath(name)))
            qFatal("cannot install %s", qPrintable(name));
    }
    void application(const QString &fileName, const QString &program, const QString &keys = {}) const
    {
        this->program(program);
        m_desktop.writeApplication(fileName, u"Exec=%1\n%2"_qs.arg(program, keys));
    }
    void terminalAlternative(const QString &program) const
    {
        QFile::link(m_bin.filePath(program), m_bin.filePath(u"x-terminal-emulator"_qs));
    }

private:
    const TestDesktop &m_desktop;
    QDir m_bin;
};

void installGnomeLike(const TestDesktop &desktop, const Installer &install)
{
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    install.application(u"org.gnome.Evolution.desktop"_qs, u"evolution"_qs,
                        u"MimeType=x-scheme-handler/mailto;text/calendar;"_qs);
    install.application(u"org.gnome.Calendar.desktop"_qs, u"gnome-calendar"_qs, u"MimeType=text/calendar;"_qs);
    install.application(u"org.gnome.TextEditor.desktop"_qs, u"gnome-text-editor"_qs, u"MimeType=text/plain;"_qs);
    install.application(u"org.gnome.Polari.desktop"_qs, u"polari"_qs, u"MimeType=x-scheme-handler/irc;"_qs);
    install.application(u"org.gnome.eog.desktop"_qs, u"eog"_qs, u"MimeType=image/jpeg;"_qs);
    install.application(u"org.gnome.Music.desktop"_qs, u"gnome-music"_qs, u"MimeType=audio/mpeg;"_qs);
    install.application(u"org.gnome.Settings.desktop"_qs, u"gnome-control-center"_qs, u"OnlyShowIn=GNOME;"_qs);
    // The console comes first among the well-known terminals, but the alternative chose the other.
    install.application(u"org.gnome.Console.desktop"_qs, u"kgx"_qs, u"Categories=System;TerminalEmulator;"_qs);
    install.application(u"org.gnome.Terminal.desktop"_qs, u"gnome-terminal"_qs,
                        u"Categories=GNOME;System;TerminalEmulator;"_qs);
    install.program(u"gnome-terminal.wrapper"_qs);
    install.terminalAlternative(u"gnome-terminal.wrapper"_qs);
    desktop.writeDefaultApplications(u"x-scheme-handler/mailto=org.gnome.Evolution.desktop\n"
                                     "text/calendar=org.gnome.Evolution.desktop\n"
                                     "text/plain=org.gnome.TextEditor.desktop"_qs);
}

void installKdeLike(const TestDesktop &desktop, const Installer &install)
{
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    install.application(u"org.kde.kmail2.desktop"_qs, u"kmail"_qs, u"MimeType=x-scheme-handler/mailto;"_qs);
    // Nothing claims text/calendar, so GIO offers the default of its parent type text/plain.
    install.application(u"org.kde.korganizer.desktop"_qs, u"korganizer"_qs);
    install.application(u"org.kde.kate.desktop"_qs, u"kate"_qs, u"MimeType=text/plain;"_qs);
    install.application(u"org.kde.gwenview.desktop"_qs, u"gwenview"_qs, u"MimeType=image/jpeg;"_qs);
    install.application(u"org.kde.elisa.desktop"_qs, u"elisa"_qs);
    install.application(u"org.gnome.Settings.desktop"_qs, u"gnome-control-center"_qs, u"OnlyShowIn=GNOME;"_qs);
    install.application(u"systemsettings.desktop"_qs, u"systemsettings"_qs, u"OnlyShowIn=KDE;"_qs);
    install.application(u"org.kde.konsole.desktop"_qs, u"konsole"_qs, u"Categories=Qt;KDE;System;TerminalEmulator;"_qs);
    desktop.writeDefaultApplications(u"text/plain=org.kde.kate.desktop"_qs);
}

void installBare(const TestDesktop &desktop, const Installer &install)
{
    install.application(u"debian-xterm.desktop"_qs, u"xterm"_qs, u"Categories=System;TerminalEmulator;"_qs);
    install.application(u"display-im6.q16.desktop"_qs, u"display"_qs, u"MimeType=image/jpeg;\nNoDisplay=true"_qs);
    // Left behind by a package that was removed: its program is gone.
    desktop.writeApplication(u"org.gnome.eog.desktop"_qs, u"Exec=eog\nMimeType=image/jpeg;"_qs);
    // The alternative names a terminal that has no .desktop file of its own.
    install.program(u"lxterm"_qs);
    install.terminalAlternative(u"lxterm"_qs);
}

// Installs the variant in a private desktop and prints what a first launch resolves there.
int resolveVariant(const QString &variant)
{
    const QString updater = QStandardPaths::findExecutable(u"update-desktop-database"_qs);
    const TestDesktop desktop;
    const QDir bin(QDir(desktop.root()).filePath(u"bin"_qs));
    QDir().mkpath(bin.path());
    qputenv("PATH", QFile::encodeName(bin.path()));
    const Installer install(desktop, bin);
    if (variant == u"gnome")
        installGnomeLike(desktop, install);
    else if (variant == u"kde")
        installKdeLike(desktop, install);
    else
        installBare(desktop, install);

    // GIO learns which applications claim a type from the cache that installing a package builds.
    const QDir applications(desktop.applicationsDirectory());
    if (QProcess::execute(updater, {applications.path()}) != 0)
        qFatal("update-desktop-database failed");
    QTextStream out(stdout);
    for (const QUrl &location : StarterApplications::locations())
        out << applications.relativeFilePath(location.toLocalFile()) << '\n';
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(variantVariable))
        return resolveVariant(qEnvironmentVariable(variantVariable));
    QCoreApplication app(argc, argv);
    TestStarterApplications test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_starterapplications.moc"
