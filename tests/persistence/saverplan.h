#pragma once

#include "sampleconfiguration.h"

// The configurations the saver child writes: numbered, each a different size, reproducible
// by the test that checks what the child left behind.
namespace SaverPlan {

// The saver's background loop waits for the writer after every this many configurations.
inline constexpr int backgroundBatch = 4;

inline int itemCount(int index)
{
    return 20 + (index * 37) % 300;
}

inline QList<Panel> panels(quint32 seed, int index)
{
    return SampleConfiguration::make(itemCount(index), seed + quint32(index));
}

} // namespace SaverPlan
