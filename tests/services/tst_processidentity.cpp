// What a process tells of its application, read from a /proc tree laid out by the test (the links
// and files the kernel shows) and from the test's own process.
#include "services/processidentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestProcessIdentity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void identifies_data();
    void identifies();
    void identifiesItself();

private:
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    QString file(const QString &relative);

    QTemporaryDir m_dir;
};

QString TestProcessIdentity::file(const QString &relative)
{
    const QString where = path(relative);
    QDir().mkpath(QFileInfo(where).path());
    QFile out(where);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(where));
    return QFileInfo(where).canonicalFilePath();
}

void TestProcessIdentity::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char *name : {"bin/python3.11", "bin/java", "bin/native", "opt/notes/notes.py", "opt/app.jar"})
        file(QLatin1String(name));
}

void TestProcessIdentity::identifies_data()
{
    QTest::addColumn<QString>("exe");
    QTest::addColumn<QStringList>("commandLine");
    QTest::addColumn<QString>("workingDirectory");
    QTest::addColumn<QString>("flatpakInfo"); // the sandbox's /.flatpak-info; none when null
    QTest::addColumn<QStringList>("expectedPrograms");
    QTest::addColumn<QString>("expectedSandboxAppId");

    const QString python = path(u"bin/python3.11"_qs);
    const QString script = path(u"opt/notes/notes.py"_qs);
    const QString native = path(u"bin/native"_qs);
    const QString notes = path(u"opt/notes"_qs);
    QTest::newRow("native program: executable, argv[0]")
        << native << QStringList{u"/bin/sh"_qs, u"--flag"_qs} << notes << QString()
        << QStringList{native, QFileInfo(u"/bin/sh"_qs).canonicalFilePath()} << QString();
    QTest::newRow("interpreter: the script only")
        << python << QStringList{u"python3"_qs, script} << notes << QString() << QStringList{script} << QString();
    QTest::newRow("interpreter: a relative script against the working directory")
        << python << QStringList{u"python3"_qs, u"notes.py"_qs} << notes << QString() << QStringList{script} << QString();
    QTest::newRow("interpreter: options before the script")
        << python << QStringList{u"python3"_qs, u"-u"_qs, u"-W"_qs, u"ignore"_qs, u"--"_qs, script} << QString()
        << QString() << QStringList{script} << QString();
    QTest::newRow("interpreter: a module by name")
        << python << QStringList{u"python3"_qs, u"-m"_qs, u"notes"_qs} << QString() << QString()
        << QStringList{python + u" notes"_qs} << QString();
    QTest::newRow("interpreter running a command: nothing")
        << python << QStringList{u"python3"_qs, u"-c"_qs, u"import notes"_qs} << notes << QString() << QStringList() << QString();
    QTest::newRow("interpreter alone: nothing")
        << python << QStringList{u"python3"_qs} << notes << QString() << QStringList() << QString();
    QTest::newRow("java -jar")
        << path(u"bin/java"_qs) << QStringList{u"java"_qs, u"-Xmx1g"_qs, u"-cp"_qs, u"lib"_qs, u"-jar"_qs, u"../app.jar"_qs}
        << notes << QString() << QStringList{path(u"opt/app.jar"_qs)} << QString();
    QTest::newRow("Flatpak sandbox: its application id only")
        << python << QStringList{u"python3"_qs, script} << notes
        << u"[Application]\nname=org.example.Notes\nruntime=runtime/org.gnome.Platform/x86_64/44\n"_qs << QStringList()
        << u"org.example.Notes"_qs;
    QTest::newRow("Flatpak sandbox without an application") << native << QStringList() << QString()
                                                             << u"[Runtime]\nruntime=runtime/x/y/z\n"_qs << QStringList() << QString();
}

void TestProcessIdentity::identifies()
{
    QFETCH(QString, exe);
    QFETCH(QStringList, commandLine);
    QFETCH(QString, workingDirectory);
    QFETCH(QString, flatpakInfo);
    QFETCH(QStringList, expectedPrograms);
    QFETCH(QString, expectedSandboxAppId);
    const QString proc = path(u"proc-%1"_qs.arg(QTest::currentDataTag() ? qHash(QByteArray(QTest::currentDataTag())) : 0));
    const QString process = proc + u"/4242"_qs;
    QVERIFY(QDir().mkpath(process));
    QVERIFY(QFile::link(exe, process + u"/exe"_qs));
    if (!workingDirectory.isEmpty())
        QVERIFY(QFile::link(workingDirectory, process + u"/cwd"_qs));
    QFile cmdline(process + u"/cmdline"_qs);
    QVERIFY(cmdline.open(QIODevice::WriteOnly));
    for (const QString &argument : std::as_const(commandLine))
        cmdline.write(argument.toUtf8() + '\0');
    cmdline.close();
    if (!flatpakInfo.isNull()) {
        QVERIFY(QDir().mkpath(process + u"/root"_qs));
        QFile info(process + u"/root/.flatpak-info"_qs);
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.write(flatpakInfo.toUtf8());
    }

    const ProcessIdentity identity = processIdentity(4242, proc);

    QCOMPARE(identity.programs, expectedPrograms);
    QCOMPARE(identity.isSandboxed, !flatpakInfo.isNull());
    QCOMPARE(identity.sandboxAppId, expectedSandboxAppId);
    QCOMPARE(processIdentity(4243, proc).programs, QStringList()); // gone
}

void TestProcessIdentity::identifiesItself()
{
    const ProcessIdentity identity = processIdentity(quint32(::getpid()));
    QVERIFY(!identity.isSandboxed);
    QCOMPARE(identity.programs.value(0), QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
}

QTEST_GUILESS_MAIN(TestProcessIdentity)
#include "tst_processidentity.moc"
