#include "testdesktop.h"

#include "services/applicationindex.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

class TestApplicationIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void matchesWindows_data();
    void matchesWindows();
    void rereadsChangedDirectories();

private:
    QString system(const QString &fileName) const { return QDir(m_systemApplications).filePath(fileName); }
    QString home(const QString &fileName) const { return QDir(m_desktop.applicationsDirectory()).filePath(fileName); }

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
    m_index.refreshIfChanged();
}

void TestApplicationIndex::matchesWindows_data()
{
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("gtkApplicationId");
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QString>("expected");

    const QString trueProgram = QFileInfo(u"/bin/true"_qs).canonicalFilePath();
    const QString falseProgram = QFileInfo(u"/bin/false"_qs).canonicalFilePath();
    QTest::newRow("StartupWMClass against the class, any case")
        << u"x"_qs << u"QUAYEDITOR"_qs << QString() << QStringList() << home(u"editor.desktop"_qs);
    QTest::newRow("StartupWMClass against the instance")
        << u"quayeditor"_qs << u"Other"_qs << QString() << QStringList() << home(u"editor.desktop"_qs);
    QTest::newRow("a user's entry hides the system's of the same id")
        << u"x"_qs << u"ShadowedClass"_qs << QString() << QStringList() << QString();
    QTest::newRow("desktop id against the class, any case")
        << u"x"_qs << u"Org.Example.Viewer"_qs << QString() << QStringList() << system(u"org.example.Viewer.desktop"_qs);
    QTest::newRow("last component of a reverse-DNS id")
        << u"viewer"_qs << u"Viewer"_qs << QString() << QStringList() << system(u"org.example.Viewer.desktop"_qs);
    QTest::newRow("id of an entry in a subfolder")
        << u"kde-sub-app"_qs << u"x"_qs << QString() << QStringList() << system(u"kde/sub-app.desktop"_qs);
    QTest::newRow("StartupWMClass before a desktop id")
        << u"shared"_qs << u"Shared"_qs << QString() << QStringList() << system(u"priority.desktop"_qs);
    QTest::newRow("_GTK_APPLICATION_ID")
        << u"unrelated"_qs << u"Unrelated"_qs << u"org.example.Gtk"_qs << QStringList() << system(u"org.example.Gtk.desktop"_qs);
    QTest::newRow("process program against Exec behind env")
        << u"a"_qs << u"B"_qs << QString() << QStringList{u"/nowhere/script"_qs, trueProgram} << system(u"tool.desktop"_qs);
    QTest::newRow("process program against TryExec")
        << u"a"_qs << u"B"_qs << QString() << QStringList{falseProgram} << system(u"tryexec.desktop"_qs);
    QTest::newRow("Hidden entry is not an application")
        << u"x"_qs << u"HiddenClass"_qs << QString() << QStringList() << QString();
    QTest::newRow("a user's Hidden entry masks the system's")
        << u"x"_qs << u"MaskedClass"_qs << QString() << QStringList() << QString();
    QTest::newRow("Type=Link is not an application")
        << u"x"_qs << u"LinkClass"_qs << QString() << QStringList() << QString();
    QTest::newRow("nothing known") << QString() << QString() << QString() << QStringList() << QString();
}

void TestApplicationIndex::matchesWindows()
{
    QFETCH(QString, instance);
    QFETCH(QString, className);
    QFETCH(QString, gtkApplicationId);
    QFETCH(QStringList, programs);
    QFETCH(QString, expected);
    QCOMPARE(m_index.applicationFor({instance, className, gtkApplicationId, programs}), expected);
}

void TestApplicationIndex::rereadsChangedDirectories()
{
    const WindowIdentity window{u"late"_qs, u"Late"_qs, QString(), {}};
    QCOMPARE(m_index.applicationFor(window), QString());
    const QString path = m_desktop.writeDesktopEntry(system(u"late.desktop"_qs), u"Type=Application\nName=L\nExec=late"_qs);
    // Set the folder's time apart from the last reading, which a coarse clock might not.
    const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 10, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(m_systemApplications).constData(), times, 0), 0);

    m_index.refreshIfChanged();

    QCOMPARE(m_index.applicationFor(window), path);
}

QTEST_APPLESS_MAIN(TestApplicationIndex)
#include "tst_applicationindex.moc"
