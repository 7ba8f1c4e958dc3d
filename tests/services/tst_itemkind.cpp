#include "services/itemkind.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 segmentDynamic = 2;
constexpr quint32 segmentInterpreter = 3;
constexpr quint64 flagPie = 0x08000000;
constexpr quint64 flagNow = 0x00000001;

void put(QByteArray &bytes, qsizetype offset, quint64 value, int size, bool littleEndian)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + (littleEndian ? i : size - 1 - i)] = char((value >> (8 * i)) & 0xff);
}

struct ElfShape
{
    int bits = 64;
    bool littleEndian = true;
    quint16 type = 3;
    QList<quint32> segments;
    quint64 flags1 = 0;          // DT_FLAGS_1 in the dynamic table, when there is one
    quint16 claimedSegments = 0; // e_phnum when it should differ from the real count
};

// A minimal ELF image: the header, the program headers and the dynamic table of a PT_DYNAMIC
// segment holding DT_FLAGS_1 then DT_NULL.
QByteArray elfImage(const ElfShape &shape)
{
    const bool is64 = shape.bits == 64;
    const bool le = shape.littleEndian;
    const int headerSize = is64 ? 64 : 52;
    const int entrySize = is64 ? 56 : 32;
    const int word = is64 ? 8 : 4;
    const qsizetype dynamicOffset = headerSize + entrySize * shape.segments.size();
    QByteArray bytes(dynamicOffset + 4 * word, '\0');
    bytes.replace(0, 4, "\x7f" "ELF");
    bytes[4] = char(is64 ? 2 : 1);
    bytes[5] = char(le ? 1 : 2);
    bytes[6] = 1;
    put(bytes, 16, shape.type, 2, le);
    put(bytes, is64 ? 32 : 28, quint64(headerSize), word, le);
    put(bytes, is64 ? 54 : 42, quint64(entrySize), 2, le);
    put(bytes, is64 ? 56 : 44, shape.claimedSegments ? shape.claimedSegments : quint64(shape.segments.size()), 2, le);
    for (qsizetype i = 0; i < shape.segments.size(); ++i) {
        const qsizetype at = headerSize + i * entrySize;
        put(bytes, at, shape.segments[i], 4, le);
        put(bytes, at + (is64 ? 8 : 4), quint64(dynamicOffset), word, le);
        put(bytes, at + (is64 ? 32 : 16), quint64(4 * word), word, le);
    }
    put(bytes, dynamicOffset, 0x6ffffffb, word, le);
    put(bytes, dynamicOffset + word, shape.flags1, word, le);
    return bytes;
}

} // namespace

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
    const QList<std::pair<const char *, ElfShape>> elves = {
        {"exec.elf", {.type = 2}},
        {"pie.elf", {.segments = {segmentInterpreter, segmentDynamic}}},
        {"static-pie.elf", {.segments = {segmentDynamic}, .flags1 = flagPie | flagNow}},
        {"library.so", {.segments = {segmentDynamic}, .flags1 = flagNow}},
        {"no-segments.so", {}},
        {"pie32be.elf", {.bits = 32, .littleEndian = false, .segments = {segmentInterpreter}}},
        {"object.o", {.type = 1, .segments = {segmentInterpreter}}},
        {"truncated.so", {.segments = {segmentDynamic}, .flags1 = flagPie, .claimedSegments = 9}},
        {"huge-table.so", {.segments = {segmentInterpreter}, .claimedSegments = 0xffff}},
    };
    for (const auto &[name, shape] : elves) {
        QByteArray image = elfImage(shape);
        if (qstrcmp(name, "truncated.so") == 0)
            image.truncate(64 + 56 / 2);
        write(QLatin1String(name), image, executable);
    }
    QFile library(QStringLiteral("/usr/lib/x86_64-linux-gnu/libxcb.so.1"));
    if (library.open(QIODevice::ReadOnly))
        write(QStringLiteral("system-library.so"), library.readAll(), executable);
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
    QTest::newRow("ET_EXEC") << at("exec.elf") << ItemKind::Application;
    QTest::newRow("ET_DYN with a program interpreter") << at("pie.elf") << ItemKind::Application;
    QTest::newRow("ET_DYN with DF_1_PIE (static PIE)") << at("static-pie.elf") << ItemKind::Application;
    QTest::newRow("32-bit big-endian ET_DYN with an interpreter") << at("pie32be.elf") << ItemKind::Application;
    QTest::newRow("shared library: ET_DYN, no interpreter, no PIE flag") << at("library.so") << ItemKind::File;
    QTest::newRow("shared library without segments") << at("no-segments.so") << ItemKind::File;
    QTest::newRow("relocatable object") << at("object.o") << ItemKind::File;
    QTest::newRow("program headers cut short") << at("truncated.so") << ItemKind::File;
    QTest::newRow("program header table far too large to read") << at("huge-table.so") << ItemKind::File;
    if (QFile::exists(m_dir.filePath(QStringLiteral("system-library.so"))))
        QTest::newRow("the system's libxcb, executable bit set") << at("system-library.so") << ItemKind::File;
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
