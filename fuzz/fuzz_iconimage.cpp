// libFuzzer target: the icon import path (content detection, header probes, bounded decoding
// by the image readers, reduction and PNG encoding). Besides crashes it fails any input during
// whose import the live heap grows by more than the decode budget allows.

#include "iconimagecheck.h"

#include "persistence/boundedimagereader.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<qint64> g_live{0};
std::atomic<qint64> g_peak{0};

void onMalloc(const volatile void *, size_t size)
{
    const qint64 live = g_live.fetch_add(qint64(size), std::memory_order_relaxed) + qint64(size);
    qint64 peak = g_peak.load(std::memory_order_relaxed);
    while (live > peak && !g_peak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
}

void onFree(const volatile void *pointer)
{
    const qint64 size = qint64(__sanitizer_get_allocated_size(const_cast<const void *>(pointer)));
    g_live.fetch_sub(size, std::memory_order_relaxed);
}

// Beyond the budget: the plan is an estimate, and one-time set-up (fonts, plugins) is not part
// of a decode.
constexpr qint64 allowedGrowth = BoundedImageReader::decodeBudget + 16LL * 1024 * 1024;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    // Load the readers and the font database once, outside any measured input.
    const QString seeds = QStringLiteral(QUAYROW_ICON_IMAGE_CORPUS);
    for (const QString &name : QDir(seeds).entryList(QDir::Files)) {
        QFile seed(seeds + QLatin1Char('/') + name);
        if (seed.open(QIODevice::ReadOnly))
            checkIconImport(seed.readAll());
    }
    // The readers' complaints about damaged input would drown the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qint64 before = g_live.load();
    g_peak.store(before);
    if (!checkIconImport(bytes))
        std::abort();
    const qint64 growth = g_peak.load() - before;
    if (growth > allowedGrowth) {
        std::fprintf(stderr, "heap grew by %lld bytes while importing this input\n", static_cast<long long>(growth));
        std::abort();
    }
    return 0;
}
