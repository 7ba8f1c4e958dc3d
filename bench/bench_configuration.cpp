// Load and save times of generated configurations, against the floor of a bare durable write,
// and the memory that reading takes at its peak.

#include "processmemory.h"
#include "sampleconfiguration.h"

#include "persistence/atomicfile.h"
#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QElapsedTimer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include <malloc.h>

namespace {

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The median of `runs` timings, in milliseconds.
double medianMilliseconds(int runs, const std::function<void()> &work)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(samples);
}

double megabytesPerSecond(qsizetype bytes, double milliseconds)
{
    return double(bytes) / 1e6 / (milliseconds / 1e3);
}

// How far the peak resident memory rises while `work` runs, in MB; negative when the kernel
// cannot reset the peak.
double peakMegabytes(const std::function<void()> &work)
{
    malloc_trim(0);
    if (!resetPeakResident())
        return -1;
    const qint64 before = peakResidentKiB();
    work();
    const qint64 peak = peakResidentKiB();
    return before < 0 || peak < 0 ? -1 : double(peak - before) / 1024;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    QTemporaryDir directory;
    if (!directory.isValid()) {
        out << "bench_configuration: no temporary directory\n";
        return 1;
    }
    out << "bench_configuration (median of the runs; floor = QSaveFile write + directory fsync of the same bytes)\n";
    out << "parse = JSON to document records; decode = to panels; read peak = resident memory added by one decode\n";
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11\n")
               .arg(QStringLiteral("items"), 7).arg(QStringLiteral("bytes"), 10)
               .arg(QStringLiteral("encode ms"), 10).arg(QStringLiteral("parse ms"), 9)
               .arg(QStringLiteral("decode ms"), 10).arg(QStringLiteral("read peak MB"), 13)
               .arg(QStringLiteral("load ms"), 9).arg(QStringLiteral("load MB/s"), 10)
               .arg(QStringLiteral("save ms"), 9).arg(QStringLiteral("floor ms"), 9)
               .arg(QStringLiteral("save/floor"), 11);
    for (const int items : {100, 1000, 10000, 50000}) {
        const QList<Panel> panels = SampleConfiguration::make(items, 7);
        const int runs = items >= 50000 ? 5 : 15;
        const QString path = directory.filePath(QStringLiteral("%1/configuration.json").arg(items));
        SystemConfigurationStorage storage(path);
        if (Result saved = storage.save(panels); !saved) {
            out << saved.errorMessage() << '\n';
            return 1;
        }
        const QByteArray bytes = ConfigurationDocument(panels).toJson();

        const double encode = medianMilliseconds(runs, [&] { (void)ConfigurationDocument(panels).toJson(); });
        const double readPeak = peakMegabytes([&] { (void)ConfigurationDocument::fromJson(bytes)->makePanels(); });
        const double parse = medianMilliseconds(runs, [&] { (void)ConfigurationDocument::fromJson(bytes); });
        // Results are kept until after the timing: freeing them is not part of loading.
        std::vector<QList<Panel>> decoded;
        std::vector<std::optional<QList<Panel>>> loaded;
        decoded.reserve(size_t(runs));
        loaded.reserve(size_t(runs));
        const double decode = medianMilliseconds(runs, [&] { decoded.push_back(ConfigurationDocument::fromJson(bytes)->makePanels()); });
        const double load = medianMilliseconds(runs, [&] { loaded.push_back(storage.load()); });
        if (!loaded.back() || *loaded.back() != panels) {
            out << "bench_configuration: the loaded panels differ from the saved ones\n";
            return 1;
        }
        // Saves and bare writes alternate, so that both see the same state of the disk.
        const QString floorPath = directory.filePath(QStringLiteral("%1/floor.json").arg(items));
        std::vector<double> saves;
        std::vector<double> floors;
        for (int run = 0; run < runs; ++run) {
            saves.push_back(medianMilliseconds(1, [&] { (void)storage.save(panels); }));
            floors.push_back(medianMilliseconds(1, [&] {
                QSaveFile file(floorPath);
                file.open(QIODevice::WriteOnly);
                file.write(bytes);
                file.commit();
                (void)AtomicFile::syncDirectory(directory.filePath(QString::number(items)));
            }));
        }
        const double save = median(saves);
        const double floor = median(floors);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11\n")
                   .arg(items, 7).arg(bytes.size(), 10)
                   .arg(encode, 10, 'f', 2).arg(parse, 9, 'f', 2).arg(decode, 10, 'f', 2)
                   .arg(readPeak, 13, 'f', 1).arg(load, 9, 'f', 2).arg(megabytesPerSecond(bytes.size(), load), 10, 'f', 1)
                   .arg(save, 9, 'f', 2).arg(floor, 9, 'f', 2)
                   .arg(save / floor, 11, 'f', 2);
        out.flush();
    }
    return 0;
}
