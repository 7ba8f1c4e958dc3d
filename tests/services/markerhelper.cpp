// Records how it was started: writes $QUAYROW_TEST_MARKERS/<first argument> (or "noargs")
// holding its working directory and then each argument, one a line, and <that>.startup-id
// holding $DESKTOP_STARTUP_ID when set. The file appears whole
// (written beside and renamed) so that a waiting test never reads half of it.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char *argv[])
{
    const char *markers = std::getenv("QUAYROW_TEST_MARKERS");
    if (!markers)
        return 2;
    std::string tag = argc > 1 ? argv[1] : "noargs";
    for (char c : tag) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-'))
            return 3;
    }
    char cwd[4096] = {};
    if (!getcwd(cwd, sizeof cwd))
        return 4;
    const std::string path = std::string(markers) + "/" + tag;
    const std::string partial = path + ".partial";
    FILE *file = std::fopen(partial.c_str(), "w");
    if (!file)
        return 5;
    std::fprintf(file, "%s\n", cwd);
    for (int i = 1; i < argc; ++i)
        std::fprintf(file, "%s\n", argv[i]);
    std::fclose(file);
    // The startup-notification id a launcher handed over, beside the marker.
    if (const char *startupId = std::getenv("DESKTOP_STARTUP_ID")) {
        if (FILE *idFile = std::fopen((path + ".startup-id").c_str(), "w")) {
            std::fputs(startupId, idFile);
            std::fclose(idFile);
        }
    }
    return std::rename(partial.c_str(), path.c_str()) == 0 ? 0 : 6;
}
