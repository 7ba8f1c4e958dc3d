// libFuzzer target: the decoder of a dragged panel item's payload, which any application on the
// desktop can offer under the item's MIME type.

#include "panelitemcheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!checkPanelItemDecoding(bytes))
        std::abort();
    return 0;
}
