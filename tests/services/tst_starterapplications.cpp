#include "testdesktop.h"

#include "services/starterapplications.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class TestStarterApplications : public QObject
{
    Q_OBJECT

public:
    explicit TestStarterApplications(const TestDesktop &desktop) : m_desktop(desktop) {}

private Q_SLOTS:
    void initTestCase();
    void resolvesRoles_data();
    void resolvesRoles();

private:
    QUrl installed(const QString &fileName) const
    {
        return QUrl::fromLocalFile(QDir(m_desktop.applicationsDirectory()).filePath(fileName));
    }

    const TestDesktop &m_desktop;
};

void TestStarterApplications::initTestCase()
{
    m_desktop.writeApplication(u"mail.desktop"_qs, u"Exec=true %u\nMimeType=x-scheme-handler/mailto;"_qs);
    m_desktop.writeApplication(u"other-mail.desktop"_qs, u"Exec=true %u\nMimeType=x-scheme-handler/mailto;"_qs);
    m_desktop.writeApplication(u"notes.desktop"_qs, u"Exec=true %f\nMimeType=text/plain;"_qs);
    m_desktop.writeApplication(u"photos.desktop"_qs, u"Exec=true %f\nMimeType=image/jpeg;"_qs);
    m_desktop.writeApplication(u"org.gnome.Settings.desktop"_qs, u"Exec=true"_qs);
    m_desktop.writeApplication(u"systemsettings.desktop"_qs, u"Exec=true"_qs);
    m_desktop.writeApplication(u"xterm.desktop"_qs, u"Exec=xterm"_qs);
    m_desktop.writeApplication(u"chosen-terminal.desktop"_qs, u"Exec=chosen-term"_qs);
    m_desktop.writeDefaultApplications(u"x-scheme-handler/mailto=mail.desktop\ntext/plain=notes.desktop"_qs);
    // GIO learns which applications claim a type from the cache that packages build.
    const QString updater = QStandardPaths::findExecutable(u"update-desktop-database"_qs);
    if (updater.isEmpty())
        QSKIP("update-desktop-database (desktop-file-utils) is not installed");
    QCOMPARE(QProcess::execute(updater, {m_desktop.applicationsDirectory()}), 0);

    // The Debian alternative: x-terminal-emulator -> chosen-term.wrapper, as some terminals install.
    const QDir bin(QDir(m_desktop.root()).filePath(u"bin"_qs));
    QVERIFY(QDir().mkpath(bin.path()));
    const QString wrapper = bin.filePath(u"chosen-term.wrapper"_qs);
    QVERIFY(QFile::copy(u"/bin/true"_qs, wrapper));
    QVERIFY(QFile::copy(u"/bin/true"_qs, bin.filePath(u"chosen-term"_qs)));
    QVERIFY(QFile::link(wrapper, bin.filePath(u"x-terminal-emulator"_qs)));
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + qgetenv("PATH"));
}

void TestStarterApplications::resolvesRoles_data()
{
    QTest::addColumn<QList<QUrl>>("fallbacks");
    QTest::addColumn<QList<QUrl>>("expected");

    QList<QUrl> fallbacks;
    for (int role = 0; role < 8; ++role)
        fallbacks.append(QUrl::fromLocalFile(u"/usr/share/applications/fallback-%1.desktop"_qs.arg(role)));
    const QUrl settings = installed(u"systemsettings.desktop"_qs);
    const QUrl terminal = installed(u"chosen-terminal.desktop"_qs);

    QTest::newRow("defaults where installed, fallbacks for the rest")
        << fallbacks
        << QList<QUrl>{installed(u"mail.desktop"_qs), fallbacks[1], installed(u"notes.desktop"_qs), fallbacks[3],
                       installed(u"photos.desktop"_qs), fallbacks[5], settings, terminal};
    QTest::newRow("a role with neither is left out")
        << fallbacks.mid(0, 2)
        << QList<QUrl>{installed(u"mail.desktop"_qs), fallbacks[1], installed(u"notes.desktop"_qs),
                       installed(u"photos.desktop"_qs), settings, terminal};
}

void TestStarterApplications::resolvesRoles()
{
    QFETCH(QList<QUrl>, fallbacks);
    QFETCH(QList<QUrl>, expected);
    QCOMPARE(resolveStarterApplications(fallbacks), expected);
}

int main(int argc, char *argv[])
{
    const TestDesktop desktop;
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    QCoreApplication app(argc, argv);
    TestStarterApplications test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_starterapplications.moc"
