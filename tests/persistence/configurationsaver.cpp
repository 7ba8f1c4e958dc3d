// A child process for the storage tests: saves generated configurations through the storage,
// either once (optionally under a file-size limit or as an unprivileged user), or in an endless
// loop that reports every completed save on standard output, or once through the background
// writer before calling exit() at once, as Qt does when it loses the X server.
//
//   configuration_saver loop FILE SEED START
//   configuration_saver background-loop FILE SEED START
//   configuration_saver exit FILE SEED INDEX
//   configuration_saver save FILE SEED INDEX [--file-size-limit BYTES] [--as-nobody]
//                            [--minimal-panels COUNT] [--address-space-limit BYTES]
//
// --minimal-panels saves COUNT panels with nothing but their first tab instead of configuration
// INDEX; --address-space-limit bounds the memory the child may take. background-loop hands
// every configuration to the background writer and reports one in four once it is written.

#include "saverplan.h"

#include "persistence/backgroundconfigurationstorage.h"
#include "persistence/systemconfigurationstorage.h"

#include "model/defaultname.h"

#include <QByteArray>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fputs("usage: configuration_saver loop|background-loop FILE SEED START | exit FILE SEED INDEX | "
               "save FILE SEED INDEX [--file-size-limit BYTES] "
               "[--as-nobody] [--minimal-panels COUNT] [--address-space-limit BYTES]\n",
               stderr);
    return 64;
}

bool dropPrivileges()
{
    const passwd *nobody = ::getpwnam("nobody");
    return nobody && ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5)
        return usage();
    const QByteArray mode = argv[1];
    SystemConfigurationStorage storage(QString::fromLocal8Bit(argv[2]));
    const quint32 seed = quint32(std::strtoul(argv[3], nullptr, 10));
    const int first = std::atoi(argv[4]);

    if (mode == "loop") {
        for (int index = first;; ++index) {
            if (Result saved = storage.save(SaverPlan::panels(seed, index)); !saved) {
                std::fprintf(stderr, "%s\n", qPrintable(saved.errorMessage()));
                return 3;
            }
            std::printf("%d\n", index);
            std::fflush(stdout);
        }
    }
    if (mode == "background-loop") {
        BackgroundConfigurationStorage background(std::make_unique<SystemConfigurationStorage>(storage.filePath()));
        for (int index = first;; ++index) {
            (void)background.save(SaverPlan::panels(seed, index));
            if ((index - first) % SaverPlan::backgroundBatch != SaverPlan::backgroundBatch - 1)
                continue;
            if (!background.flush())
                return 3;
            std::printf("%d\n", index);
            std::fflush(stdout);
        }
    }
    if (mode == "exit") {
        // Never destroyed, like the application's storage when exit() is called under it.
        auto *background = new BackgroundConfigurationStorage(std::make_unique<SystemConfigurationStorage>(storage.filePath()));
        (void)background->save(SaverPlan::panels(seed, first));
        std::exit(0);
    }
    if (mode != "save")
        return usage();

    QList<Panel> panels;
    int minimalPanels = -1;
    for (int i = 5; i < argc; ++i) {
        if (std::strcmp(argv[i], "--file-size-limit") == 0 && i + 1 < argc) {
            // Writing past the limit must fail with EFBIG instead of killing the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = std::strtoull(argv[++i], nullptr, 10);
            const rlimit limits{limit, limit};
            if (::setrlimit(RLIMIT_FSIZE, &limits) != 0)
                return 4;
        } else if (std::strcmp(argv[i], "--minimal-panels") == 0 && i + 1 < argc) {
            minimalPanels = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--address-space-limit") == 0 && i + 1 < argc) {
            const rlim_t limit = std::strtoull(argv[++i], nullptr, 10);
            const rlimit limits{limit, limit};
            if (::setrlimit(RLIMIT_AS, &limits) != 0)
                return 4;
        } else if (std::strcmp(argv[i], "--as-nobody") == 0) {
            if (!dropPrivileges())
                return 4;
        } else {
            return usage();
        }
    }
    if (minimalPanels < 0) {
        panels = SaverPlan::panels(seed, first);
    } else {
        panels.reserve(minimalPanels);
        for (int i = 0; i < minimalPanels; ++i)
            panels.append(Panel(PanelInit{.name = DefaultName::panel(i + 1), .tab = PanelTab{.name = DefaultName::firstTab()}}));
    }
    if (Result saved = storage.save(panels); !saved) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.errorMessage()));
        return 3;
    }
    return 0;
}
