#include "testdesktop.h"

#include "services/applicationindex.h"
#include "services/installedapplications.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

class TestApplicationIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void matchesWindows_data();
    void matchesWindows();
    void rebuildsWhenFoldersChange();

private:
    QString system(const QString &fileName) const { return QDir(m_systemApplications).filePath(fileName); }
    QString home(const QString &fileName) const { return QDir(m_desktop.applicationsDirectory()).filePath(fileName); }
    QString bin(const QString &fileName) const { return QDir(m_desktop.root()).filePath(u"bin/"_qs + fileName); }

    TestDesktop m_desktop;
    QString m_systemApplications;
    ApplicationIndex m_index;
};

void TestApplicationIndex::initTestCase()
{
    m_systemApplications = QDir(m_desktop.root()).filePath(u"system/applications"_qs);
    qputenv("XDG_DATA_DIRS", QFile::encodeName(QDir(m_desktop.root()).filePath(u"system"_qs)));
    const auto write = [this](const QString &path, const QString &keys) { m_desktop.writeDesktopEntry(path, keys); };

    write(home(u"editor.desktop"_qs), u"Type=Application\nName=E\nExec=editor\nStartupWMClass=QuayEditor"_qs);
    write(system(u"editor.desktop"_qs), u"Type=Application\nName=E\nExec=editor\nStartupWMClass=ShadowedClass"_qs);
    write(system(u"org.example.Viewer.desktop"_qs), u"Type=Application\nName=V\nExec=viewer"_qs);
    write(system(u"kde/sub-app.desktop"_qs), u"Type=Application\nName=S\nExec=sub"_qs);
    write(system(u"hidden.desktop"_qs), u"Type=Application\nName=H\nExec=h\nHidden=true\nStartupWMClass=HiddenClass"_qs);
    write(home(u"masked.desktop"_qs), u"Type=Application\nName=M\nHidden=true"_qs);
    write(system(u"masked.desktop"_qs), u"Type=Application\nName=M\nExec=m\nStartupWMClass=MaskedClass"_qs);
    write(system(u"org.example.Gtk.desktop"_qs), u"Type=Application\nName=G\nExec=gtk-thing"_qs);
    write(system(u"tool.desktop"_qs), u"Type=Application\nName=T\nExec=env FOO=1 /bin/true --flag %U"_qs);
    write(system(u"tryexec.desktop"_qs), u"Type=Application\nName=T\nTryExec=/bin/false\nExec=other-program"_qs);
    write(system(u"link.desktop"_qs), u"Type=Link\nName=L\nURL=https://example.org\nStartupWMClass=LinkClass"_qs);
    write(system(u"priority.desktop"_qs), u"Type=Application\nName=P\nExec=p\nStartupWMClass=Shared"_qs);
    write(system(u"shared.desktop"_qs), u"Type=Application\nName=S\nExec=s"_qs);

    // Programs run through an interpreter (the interpreter is found by its name).
    const QString python = m_desktop.writeFile(bin(u"python3.11"_qs), "");
    QVERIFY(QFile::setPermissions(python, QFile::ReadOwner | QFile::ExeOwner));
    m_desktop.writeFile(u"opt/notes/notes.py"_qs, "");
    write(system(u"notes.desktop"_qs), u"Type=Application\nName=N\nExec=env LANG=C %1 -u %2/opt/notes/notes.py %U"_qs
                                           .arg(python, m_desktop.root()));
    write(system(u"relative.desktop"_qs), u"Type=Application\nName=R\nPath=%1/opt/notes\nExec=%2 -m notes.app"_qs
                                              .arg(m_desktop.root(), python));
    write(system(u"python3.11.desktop"_qs), u"Type=Application\nName=P\nExec=%1\nTryExec=%1"_qs.arg(python));
    write(system(u"shell.desktop"_qs), u"Type=Application\nName=Sh\nExec=sh -c \"exec notes\""_qs);
    write(system(u"org.example.Flat.desktop"_qs),
          u"Type=Application\nName=F\nExec=/usr/bin/flatpak run --branch=stable --arch x86_64 --command=flat org.example.Flat\n"
          "StartupWMClass=FlatClass"_qs);
    write(system(u"other-flat.desktop"_qs), u"Type=Application\nName=O\nExec=flatpak run org.example.Other @@u %U @@"_qs);
    m_index = ApplicationIndex::build({m_desktop.applicationsDirectory(), m_systemApplications});
}

void TestApplicationIndex::matchesWindows_data()
{
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("gtkApplicationId");
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<bool>("sandboxed");
    QTest::addColumn<QString>("sandboxAppId");
    QTest::addColumn<QString>("expected");

    const QString trueProgram = QFileInfo(u"/bin/true"_qs).canonicalFilePath();
    const QString falseProgram = QFileInfo(u"/bin/false"_qs).canonicalFilePath();
    QTest::newRow("StartupWMClass against the class, any case")
        << u"x"_qs << u"QUAYEDITOR"_qs << QString() << QStringList() << false << QString() << home(u"editor.desktop"_qs);
    QTest::newRow("StartupWMClass against the instance")
        << u"quayeditor"_qs << u"Other"_qs << QString() << QStringList() << false << QString() << home(u"editor.desktop"_qs);
    QTest::newRow("a user's entry hides the system's of the same id")
        << u"x"_qs << u"ShadowedClass"_qs << QString() << QStringList() << false << QString() << QString();
    QTest::newRow("desktop id against the class, any case")
        << u"x"_qs << u"Org.Example.Viewer"_qs << QString() << QStringList() << false << QString() << system(u"org.example.Viewer.desktop"_qs);
    QTest::newRow("last component of a reverse-DNS id")
        << u"viewer"_qs << u"Viewer"_qs << QString() << QStringList() << false << QString() << system(u"org.example.Viewer.desktop"_qs);
    QTest::newRow("id of an entry in a subfolder")
        << u"kde-sub-app"_qs << u"x"_qs << QString() << QStringList() << false << QString() << system(u"kde/sub-app.desktop"_qs);
    QTest::newRow("StartupWMClass before a desktop id")
        << u"shared"_qs << u"Shared"_qs << QString() << QStringList() << false << QString() << system(u"priority.desktop"_qs);
    QTest::newRow("_GTK_APPLICATION_ID")
        << u"unrelated"_qs << u"Unrelated"_qs << u"org.example.Gtk"_qs << QStringList() << false << QString() << system(u"org.example.Gtk.desktop"_qs);
    QTest::newRow("process program against Exec behind env")
        << u"a"_qs << u"B"_qs << QString() << QStringList{u"/nowhere/script"_qs, trueProgram} << false << QString() << system(u"tool.desktop"_qs);
    QTest::newRow("process program against TryExec")
        << u"a"_qs << u"B"_qs << QString() << QStringList{falseProgram} << false << QString() << system(u"tryexec.desktop"_qs);
    QTest::newRow("Hidden entry is not an application")
        << u"x"_qs << u"HiddenClass"_qs << QString() << QStringList() << false << QString() << QString();
    QTest::newRow("a user's Hidden entry masks the system's")
        << u"x"_qs << u"MaskedClass"_qs << QString() << QStringList() << false << QString() << QString();
    QTest::newRow("Type=Link is not an application")
        << u"x"_qs << u"LinkClass"_qs << QString() << QStringList() << false << QString() << QString();
    const QString python = QFileInfo(bin(u"python3.11"_qs)).canonicalFilePath();
    const QString shell = QFileInfo(u"/bin/sh"_qs).canonicalFilePath();
    const QString script = QFileInfo(QDir(m_desktop.root()).filePath(u"opt/notes/notes.py"_qs)).canonicalFilePath();
    QTest::newRow("script run by an interpreter against Exec's script")
        << u"tk"_qs << u"Tk"_qs << QString() << QStringList{script} << false << QString() << system(u"notes.desktop"_qs);
    QTest::newRow("module run by an interpreter against Exec's module")
        << u"tk"_qs << u"Tk"_qs << QString() << QStringList{python + u" notes.app"_qs} << false << QString()
        << system(u"relative.desktop"_qs);
    QTest::newRow("an interpreter alone matches no Exec or TryExec")
        << u"tk"_qs << u"Tk"_qs << QString() << QStringList{python} << false << QString() << QString();
    QTest::newRow("a shell running a command line matches nothing")
        << u"x"_qs << u"X"_qs << QString() << QStringList{shell} << false << QString() << QString();
    QTest::newRow("sandboxed: application id against flatpak run")
        << u"x"_qs << u"X"_qs << QString() << QStringList() << true << u"org.example.Other"_qs << system(u"other-flat.desktop"_qs);
    QTest::newRow("sandboxed: application id against the desktop id")
        << u"x"_qs << u"X"_qs << QString() << QStringList() << true << u"org.example.Flat"_qs
        << system(u"org.example.Flat.desktop"_qs);
    QTest::newRow("sandboxed: the application id only, never WM_CLASS")
        << u"x"_qs << u"QuayEditor"_qs << QString() << QStringList() << true << u"org.example.Unknown"_qs << QString();
    QTest::newRow("sandboxed, id unknown: WM_CLASS still")
        << u"x"_qs << u"FlatClass"_qs << QString() << QStringList() << true << QString() << system(u"org.example.Flat.desktop"_qs);
    QTest::newRow("sandboxed, id unknown: never its programs")
        << u"x"_qs << u"X"_qs << QString() << QStringList{trueProgram} << true << QString() << QString();
    QTest::newRow("nothing known") << QString() << QString() << QString() << QStringList() << false << QString() << QString();
}

void TestApplicationIndex::matchesWindows()
{
    QFETCH(QString, instance);
    QFETCH(QString, className);
    QFETCH(QString, gtkApplicationId);
    QFETCH(QStringList, programs);
    QFETCH(bool, sandboxed);
    QFETCH(QString, sandboxAppId);
    QFETCH(QString, expected);
    QCOMPARE(m_index.applicationFor({instance, className, gtkApplicationId, programs, sandboxed, sandboxAppId}), expected);
}

// Files added to a folder, to a new subfolder, and a root that appears later are all seen, each
// by a build of its own after the change.
void TestApplicationIndex::rebuildsWhenFoldersChange()
{
    const QString lateRoot = QDir(m_desktop.root()).filePath(u"late-data/applications"_qs);
    InstalledApplications installed({m_systemApplications, lateRoot});
    QSignalSpy built(&installed, &InstalledApplications::indexChanged);
    QTRY_COMPARE(installed.index()->size(), ApplicationIndex::build({m_systemApplications}).size());
    const auto matches = [&installed](const QString &className) {
        return installed.index()->applicationFor({u"x"_qs, className, QString(), {}, false, QString()});
    };

    const QString added = m_desktop.writeDesktopEntry(system(u"late.desktop"_qs), u"Type=Application\nName=L\nStartupWMClass=Late"_qs);
    QTRY_COMPARE(matches(u"Late"_qs), added);
    const QString nested = m_desktop.writeDesktopEntry(system(u"vendor/nested.desktop"_qs),
                                                       u"Type=Application\nName=N\nStartupWMClass=Nested"_qs);
    QTRY_COMPARE(matches(u"Nested"_qs), nested);
    const QString appeared = m_desktop.writeDesktopEntry(QDir(lateRoot).filePath(u"appeared.desktop"_qs),
                                                         u"Type=Application\nName=A\nStartupWMClass=Appeared"_qs);
    QTRY_COMPARE(matches(u"Appeared"_qs), appeared);
    QVERIFY(QFile::remove(added));
    QTRY_COMPARE(matches(u"Late"_qs), QString());
    QVERIFY(built.size() >= 4);
}

QTEST_GUILESS_MAIN(TestApplicationIndex)
#include "tst_applicationindex.moc"
