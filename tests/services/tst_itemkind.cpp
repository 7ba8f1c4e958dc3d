#include "services/itemkind.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestItemKind : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void classifies_data();
    void classifies();

private:
    QString write(const QString &name, const QByteArray &content, QFile::Permissions permissions = {});

    QTemporaryDir m_dir;
};

QString TestItemKind::write(const QString &name, const QByteArray &content, QFile::Permissions permissions)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    file.close();
    if (permissions)
        file.setPermissions(permissions);
    return path;
}

void TestItemKind::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QDir dir(m_dir.path());
    const auto readWrite = QFile::ReadOwner | QFile::WriteOwner;
    const auto executable = readWrite | QFile::ExeOwner;
    write(QStringLiteral("app.desktop"), "[Desktop Entry]\nType=Application\nName=App\nExec=true\n");
    write(QStringLiteral("link.desktop"), "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org/\n");
    write(QStringLiteral("nogroup.desktop"), "[Other]\nType=Application\n");
    write(QStringLiteral("garbage.desktop"), "\x01\x02 not a key file \xff");
    write(QStringLiteral("huge.desktop"), "[Desktop Entry]\nType=Application\nExec=true\n# "
                                              + QByteArray(2 * 1024 * 1024, 'x') + '\n');
    dir.mkdir(QStringLiteral("folder"));
    dir.mkdir(QStringLiteral("folder.desktop"));
    QFile::link(dir.filePath(QStringLiteral("folder")), dir.filePath(QStringLiteral("folder-link")));
    QFile::link(dir.filePath(QStringLiteral("app.desktop")), dir.filePath(QStringLiteral("app-link.desktop")));
    QFile::link(dir.filePath(QStringLiteral("missing")), dir.filePath(QStringLiteral("dangling")));
    QFile::link(QStringLiteral("/bin/true"), dir.filePath(QStringLiteral("true-link")));
    QFile elf(QStringLiteral("/bin/true"));
    QVERIFY(elf.open(QIODevice::ReadOnly));
    const QByteArray elfBytes = elf.readAll();
    write(QStringLiteral("not-executable-elf"), elfBytes, readWrite);
    write(QStringLiteral("tool.AppImage"), elfBytes, executable);
    write(QStringLiteral("script.sh"), "#!/bin/sh\necho hi\n", executable);
    write(QStringLiteral("notes.txt"), "text\n");
    write(QStringLiteral("unreadable.desktop"), "[Desktop Entry]\nType=Application\nExec=true\n", QFile::WriteOwner);
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.desktop"))).constData(), 0600), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0700), 0);
}

void TestItemKind::classifies_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<ItemKind>("expected");
    const auto at = [this](const char *name) { return QUrl::fromLocalFile(m_dir.filePath(QLatin1String(name))).toString(); };

    QTest::newRow(".desktop of Type=Application") << at("app.desktop") << ItemKind::Application;
    QTest::newRow("symlink to an application .desktop") << at("app-link.desktop") << ItemKind::Application;
    QTest::newRow(".desktop of Type=Link") << at("link.desktop") << ItemKind::File;
    QTest::newRow(".desktop without a Desktop Entry group") << at("nogroup.desktop") << ItemKind::File;
    QTest::newRow(".desktop that is not a key file") << at("garbage.desktop") << ItemKind::File;
    QTest::newRow(".desktop far too large to be one") << at("huge.desktop") << ItemKind::File;
    QTest::newRow(".desktop that is a FIFO (must not block)") << at("pipe.desktop") << ItemKind::File;
    QTest::newRow("executable FIFO") << at("pipe") << ItemKind::File;
    if (::geteuid() != 0) // permissions do not keep root from reading
        QTest::newRow("unreadable .desktop") << at("unreadable.desktop") << ItemKind::File;
    QTest::newRow("directory") << at("folder") << ItemKind::Folder;
    QTest::newRow("directory named like a desktop entry") << at("folder.desktop") << ItemKind::Folder;
    QTest::newRow("symlink to a directory") << at("folder-link") << ItemKind::Folder;
    QTest::newRow("dangling symlink") << at("dangling") << ItemKind::File;
    QTest::newRow("ELF binary") << QUrl::fromLocalFile(QStringLiteral("/bin/true")).toString() << ItemKind::Application;
    QTest::newRow("symlink to an ELF binary") << at("true-link") << ItemKind::Application;
    QTest::newRow("AppImage") << at("tool.AppImage") << ItemKind::Application;
    QTest::newRow("ELF binary without execute permission") << at("not-executable-elf") << ItemKind::File;
    QTest::newRow("executable script (opened, never run)") << at("script.sh") << ItemKind::File;
    QTest::newRow("plain file") << at("notes.txt") << ItemKind::File;
    QTest::newRow("missing path") << at("missing") << ItemKind::File;
    QTest::newRow("web address") << QStringLiteral("https://example.org/app.desktop") << ItemKind::File;
    QTest::newRow("empty URL") << QString() << ItemKind::File;
}

void TestItemKind::classifies()
{
    QFETCH(QString, location);
    QFETCH(ItemKind, expected);
    QCOMPARE(itemKind(QUrl(location)), expected);
}

QTEST_APPLESS_MAIN(TestItemKind)
#include "tst_itemkind.moc"
