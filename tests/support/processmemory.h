#pragma once

#include <QtGlobal>

// The peak resident memory of this process (VmHWM), in KiB; -1 when it cannot be read.
qint64 peakResidentKiB();

// Lowers the peak resident memory to the current one, so that a following peakResidentKiB()
// measures what happens from now on. False where the kernel does not allow it.
bool resetPeakResident();
