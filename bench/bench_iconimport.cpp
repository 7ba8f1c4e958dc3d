// Peak memory and time of importing very large pictures as icons: phone photographs of 72, 108
// and 200 megapixels (baseline JPEG), progressive JPEGs below and above the decode budget, and a
// 108-megapixel PNG. Each import runs in a fresh process, whose peak resident memory (VmHWM)
// is read before and after; the pictures are generated once, without ever being held in memory,
// and kept in the cache directory.
//
//   bench_iconimport            generates what is missing and prints the table
//   bench_iconimport FILE       imports FILE in this process and prints one line of figures

#include "largeimagefiles.h"
#include "processmemory.h"

#include "persistence/customiconstorage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

struct Sample
{
    QString fileName;
    QString description;
    std::function<bool(const QString &)> write;
};

QList<Sample> samples()
{
    using LargeImageFiles::JpegKind;
    const auto jpeg = [](int width, int height, JpegKind kind) {
        return [=](const QString &path) { return LargeImageFiles::writeJpeg(path, width, height, kind); };
    };
    return {
        {u"baseline-72mp.jpg"_qs, u"baseline JPEG 9800 x 7350 (72 MP)"_qs, jpeg(9800, 7350, JpegKind::Baseline)},
        {u"baseline-108mp.jpg"_qs, u"baseline JPEG 12000 x 9000 (108 MP)"_qs, jpeg(12000, 9000, JpegKind::Baseline)},
        {u"baseline-200mp.jpg"_qs, u"baseline JPEG 16320 x 12240 (200 MP)"_qs, jpeg(16320, 12240, JpegKind::Baseline)},
        {u"progressive-24mp.jpg"_qs, u"progressive JPEG 6000 x 4000 (24 MP)"_qs, jpeg(6000, 4000, JpegKind::Progressive)},
        {u"progressive-108mp.jpg"_qs, u"progressive JPEG 12000 x 9000 (108 MP)"_qs, jpeg(12000, 9000, JpegKind::Progressive)},
        {u"rgb-108mp.png"_qs, u"8-bit RGB PNG 12000 x 9000 (108 MP)"_qs,
         [](const QString &path) { return LargeImageFiles::writePng(path, 12000, 9000); }},
    };
}

// One import in this process: "<result> <milliseconds> <peak before KiB> <peak after KiB>".
int importOne(const QString &path)
{
    QTemporaryDir icons;
    SystemCustomIconStorage storage(icons.path());
    const qint64 before = peakResidentKiB();
    QElapsedTimer timer;
    timer.start();
    const auto stored = storage.importImage(QUrl::fromLocalFile(path), u"ICON.png"_qs);
    const qint64 milliseconds = timer.elapsed();
    const qint64 after = peakResidentKiB();
    const QImage icon = stored ? storage.image(*stored).value_or(QImage()) : QImage();
    const QString result = stored ? u"%1x%2"_qs.arg(icon.width()).arg(icon.height()) : u"refused"_qs;
    QTextStream(stdout) << result << ' ' << milliseconds << ' ' << before << ' ' << after << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 2)
        return importOne(QString::fromLocal8Bit(argv[1]));

    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + u"/quayrow2-bench-images"_qs;
    QDir().mkpath(cache);
    QTextStream out(stdout);
    out << "Importing large pictures as icons (decode budget "
        << BoundedImageReader::decodeBudget / (1024 * 1024) << " MiB; each in a fresh process)\n";
    out << qSetFieldWidth(42) << Qt::left << "picture" << qSetFieldWidth(11) << Qt::right << "file MB"
        << "result" << "ms" << "base MiB" << "peak MiB" << "added MiB" << qSetFieldWidth(0) << '\n';
    for (const Sample &sample : samples()) {
        const QString path = cache + u'/' + sample.fileName;
        if (!QFileInfo::exists(path)) {
            out << "  (generating " << sample.fileName << ")" << Qt::endl;
            if (!sample.write(path + u".part"_qs) || !QFile::rename(path + u".part"_qs, path))
                return 1;
        }
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {path});
        if (!child.waitForFinished(300000) || child.exitCode() != 0)
            return 1;
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() != 4)
            return 1;
        const double base = fields[2].toDouble() / 1024;
        const double peak = fields[3].toDouble() / 1024;
        out << qSetFieldWidth(42) << Qt::left << sample.description << qSetFieldWidth(11) << Qt::right
            << QString::number(double(QFileInfo(path).size()) / 1e6, 'f', 1) << QString::fromLatin1(fields[0])
            << QString::fromLatin1(fields[1]) << QString::number(base, 'f', 1) << QString::number(peak, 'f', 1)
            << QString::number(peak - base, 'f', 1) << qSetFieldWidth(0) << Qt::endl;
    }
    return 0;
}
