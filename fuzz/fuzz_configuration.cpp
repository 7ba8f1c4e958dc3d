// libFuzzer target: the configuration document decoder, checked against Qt's JSON parser, and
// the round trip of what it accepts.

#include "configurationcheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!checkConfigurationDecoding(bytes))
        std::abort();
    return 0;
}
