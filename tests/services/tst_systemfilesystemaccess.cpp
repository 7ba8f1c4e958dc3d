#include "testdesktop.h"

#include "services/locationsdialog.h"
#include "services/systemfilesystemaccess.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

class TestSystemFileSystemAccess : public QObject
{
    Q_OBJECT

public:
    explicit TestSystemFileSystemAccess(const TestDesktop &desktop) : m_desktop(desktop) {}

private Q_SLOTS:
    void initTestCase();
    void names_data();
    void names();
    void themeIcons_data();
    void themeIcons();
    void imageIcons_data();
    void imageIcons();
    void drawsGlyphWithoutIconTheme();
    void followsChangedFiles();
    void locationsDialogChoosesFilesAndFolders_data();
    void locationsDialogChoosesFilesAndFolders();
    void imageFilterOffersIconFormats();

private:
    QUrl at(const QString &relativePath) const;
    QString entry(const QString &fileName, const QString &keys) const;

    const TestDesktop &m_desktop;
    SystemFileSystemAccess m_access;
};

QUrl TestSystemFileSystemAccess::at(const QString &relativePath) const
{
    return QUrl::fromLocalFile(QDir::isAbsolutePath(relativePath) ? relativePath
                                                                   : QDir(m_desktop.root()).filePath(relativePath));
}

QString TestSystemFileSystemAccess::entry(const QString &fileName, const QString &keys) const
{
    return m_desktop.writeDesktopEntry(QDir(m_desktop.root()).filePath(fileName), keys);
}

void TestSystemFileSystemAccess::initTestCase()
{
    QIcon::setThemeSearchPaths({u"/usr/share/icons"_qs});
    QIcon::setThemeName(u"Adwaita"_qs);
    if (!QIcon::hasThemeIcon(u"folder"_qs))
        QSKIP("the Adwaita icon theme is not installed (adwaita-icon-theme)");

    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(QDir(m_desktop.root()).filePath(u"red.png"_qs)));
    QVERIFY(QDir().mkpath(QDir(m_desktop.root()).filePath(u"data/pixmaps"_qs)));
    QVERIFY(red.save(QDir(m_desktop.root()).filePath(u"data/pixmaps/legacy-red.png"_qs)));

    entry(u"localized.desktop"_qs, u"Type=Application\nName=Plain\nName[xx]=Lokalisiert\nExec=true"_qs);
    entry(u"untranslated.desktop"_qs, u"Type=Application\nName=Plain\nName[yy]=Other\nExec=true"_qs);
    entry(u"link.desktop"_qs, u"Type=Link\nName=Website\nURL=https://example.org/"_qs);
    entry(u"noname.desktop"_qs, u"Type=Application\nExec=true"_qs);
    entry(u"themed.desktop"_qs, u"Type=Application\nName=T\nIcon=user-bookmarks\nExec=true"_qs);
    entry(u"suffixed.desktop"_qs, u"Type=Application\nName=T\nIcon=user-bookmarks.png\nExec=true"_qs);
    entry(u"unknown-icon.desktop"_qs, u"Type=Application\nName=T\nIcon=no-such-icon-anywhere\nExec=true"_qs);
    entry(u"no-icon.desktop"_qs, u"Type=Application\nName=T\nExec=true"_qs);
    entry(u"absolute-icon.desktop"_qs, u"Type=Application\nName=T\nExec=true\nIcon="_qs + QDir(m_desktop.root()).filePath(u"red.png"_qs));
    entry(u"legacy-icon.desktop"_qs, u"Type=Application\nName=T\nExec=true\nIcon=legacy-red"_qs);
    const QString fifo = QDir(m_desktop.root()).filePath(u"icon-fifo.png"_qs);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    entry(u"fifo-icon.desktop"_qs, u"Type=Application\nName=T\nExec=true\nIcon="_qs + fifo);
    m_desktop.writeFile(u"report.txt"_qs, "text\n");
    m_desktop.writeFile(u"page.html"_qs, "<html><body>x</body></html>\n");
    QVERIFY(QDir().mkpath(QDir(m_desktop.root()).filePath(u"My Folder"_qs)));
}

void TestSystemFileSystemAccess::names_data()
{
    QTest::addColumn<QUrl>("location");
    QTest::addColumn<QString>("expected");

    QTest::newRow("desktop entry: localized Name") << at(u"localized.desktop"_qs) << u"Lokalisiert"_qs;
    QTest::newRow("desktop entry: Name without this language") << at(u"untranslated.desktop"_qs) << u"Plain"_qs;
    QTest::newRow("desktop entry of Type=Link") << at(u"link.desktop"_qs) << u"Website"_qs;
    QTest::newRow("desktop entry without Name: its file name") << at(u"noname.desktop"_qs) << u"noname.desktop"_qs;
    QTest::newRow("file keeps its extension") << at(u"report.txt"_qs) << u"report.txt"_qs;
    QTest::newRow("folder") << at(u"My Folder"_qs) << u"My Folder"_qs;
    QTest::newRow("missing file: name without extension") << at(u"gone.tar.gz"_qs) << u"gone.tar"_qs;
    QTest::newRow("missing dotfile keeps its name") << at(u".gone"_qs) << u".gone"_qs;
    QTest::newRow("missing folder with trailing slash") << at(u"gone folder/"_qs) << u"gone folder"_qs;
}

void TestSystemFileSystemAccess::names()
{
    QFETCH(QUrl, location);
    QFETCH(QString, expected);
    QCOMPARE(m_access.name(location), expected);
    QCOMPARE(m_access.name(location), expected); // cached
}

void TestSystemFileSystemAccess::themeIcons_data()
{
    QTest::addColumn<QUrl>("location");
    QTest::addColumn<QString>("expectedThemeName"); // a regular expression

    QTest::newRow("desktop entry: Icon= theme name") << at(u"themed.desktop"_qs) << u"user-bookmarks"_qs;
    QTest::newRow("desktop entry: Icon= name with image suffix") << at(u"suffixed.desktop"_qs) << u"user-bookmarks"_qs;
    QTest::newRow("desktop entry: Icon= not in the theme") << at(u"unknown-icon.desktop"_qs) << u"application-x-executable"_qs;
    QTest::newRow("desktop entry without Icon=") << at(u"no-icon.desktop"_qs) << u"application-x-executable"_qs;
    QTest::newRow("desktop entry: Icon= a FIFO is not opened") << at(u"fifo-icon.desktop"_qs) << u"application-x-executable"_qs;
    QTest::newRow("folder") << at(u"My Folder"_qs) << u"folder|inode-directory"_qs;
    QTest::newRow("text file") << at(u"report.txt"_qs) << u"text-x-generic"_qs;
    QTest::newRow("HTML file") << at(u"page.html"_qs) << u"text-html"_qs;
    QTest::newRow("missing file: icon of its extension") << at(u"gone.html"_qs) << u"text-html"_qs;
    QTest::newRow("ELF executable") << QUrl::fromLocalFile(u"/bin/true"_qs) << u"application-x-executable"_qs;
}

void TestSystemFileSystemAccess::themeIcons()
{
    QFETCH(QUrl, location);
    QFETCH(QString, expectedThemeName);
    const QIcon icon = m_access.icon(location);
    QVERIFY(!icon.isNull());
    QVERIFY2(QRegularExpression(u"^(%1)$"_qs.arg(expectedThemeName)).match(icon.name()).hasMatch(), qPrintable(icon.name()));
}

void TestSystemFileSystemAccess::imageIcons_data()
{
    QTest::addColumn<QUrl>("location");

    QTest::newRow("desktop entry: Icon= absolute path") << at(u"absolute-icon.desktop"_qs);
    QTest::newRow("desktop entry: Icon= in the legacy pixmaps folder") << at(u"legacy-icon.desktop"_qs);
}

void TestSystemFileSystemAccess::imageIcons()
{
    QFETCH(QUrl, location);
    const QImage image = m_access.icon(location).pixmap(16, 16).toImage();
    QCOMPARE(image.pixelColor(8, 8), QColor(Qt::red));
}

void TestSystemFileSystemAccess::drawsGlyphWithoutIconTheme()
{
    const QStringList paths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths({});
    SystemFileSystemAccess access;
    const QIcon missing = access.icon(at(u"nowhere/missing.unknown-extension"_qs));
    const QIcon folder = access.icon(at(u"My Folder"_qs));
    QIcon::setThemeSearchPaths(paths);
    QVERIFY(!missing.isNull());
    QVERIFY(!missing.pixmap(32, 32).isNull());
    QVERIFY(!folder.isNull());
    QVERIFY(missing.cacheKey() != folder.cacheKey());
}

void TestSystemFileSystemAccess::followsChangedFiles()
{
    const QString path = entry(u"changing.desktop"_qs, u"Type=Application\nName=One\nExec=true"_qs);
    QCOMPARE(m_access.name(QUrl::fromLocalFile(path)), u"One"_qs);

    entry(u"changing.desktop"_qs, u"Type=Application\nName=Two\nExec=true"_qs);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    // Two writes can fall into one tick of a coarse file system clock.
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    file.close();
    // A file is checked again half a second after its last check.
    QTRY_COMPARE(m_access.name(QUrl::fromLocalFile(path)), u"Two"_qs);

    QVERIFY(QFile::remove(path));
    QTRY_COMPARE(m_access.name(QUrl::fromLocalFile(path)), u"changing"_qs);
}

void TestSystemFileSystemAccess::locationsDialogChoosesFilesAndFolders_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("a folder is chosen, not entered") << u"\"My Folder\""_qs << QStringList{u"My Folder"_qs};
    QTest::newRow("files and folders together")
        << u"\"report.txt\" \"My Folder\" \"page.html\""_qs
        << QStringList{u"report.txt"_qs, u"My Folder"_qs, u"page.html"_qs};
}

void TestSystemFileSystemAccess::locationsDialogChoosesFilesAndFolders()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    LocationsDialog dialog;
    dialog.setDirectory(m_desktop.root());
    auto *nameEdit = dialog.findChild<QLineEdit *>(u"fileNameEdit"_qs);
    QVERIFY(nameEdit);
    nameEdit->setText(typed);

    dialog.accept();

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QList<QUrl> expectedLocations;
    for (const QString &name : std::as_const(expected))
        expectedLocations.append(at(name));
    QCOMPARE(dialog.chosenLocations(), expectedLocations);
}

void TestSystemFileSystemAccess::imageFilterOffersIconFormats()
{
    const QStringList patterns = imageNameFilter().section(u'(', 1).chopped(1).split(u' ');
    for (const char *pattern : {"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp", "*.ico", "*.webp", "*.svg", "*.svgz"})
        QVERIFY2(patterns.contains(QLatin1String(pattern)), pattern);
    // Installed readers outside the list are not offered: importing would refuse their files.
    for (const char *pattern : {"*.icns", "*.tif", "*.tga", "*.xpm", "*.pbm"})
        QVERIFY2(!patterns.contains(QLatin1String(pattern)), pattern);
}

int main(int argc, char *argv[])
{
    const TestDesktop desktop;
    qputenv("LANGUAGE", "xx");
    QApplication app(argc, argv);
    TestSystemFileSystemAccess test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemfilesystemaccess.moc"
