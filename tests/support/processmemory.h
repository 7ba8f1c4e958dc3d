#pragma once

#include <QtGlobal>

// Resident memory of a process, in KiB, from /proc/<pid>/status: the peak (VmHWM) and the
// current amount (VmRSS); -1 for a figure that cannot be read.
struct ResidentMemory
{
    qint64 peakKiB = -1;
    qint64 currentKiB = -1;
};
ResidentMemory residentMemoryOf(qint64 pid);

// The peak and the current resident memory of this process, in KiB; -1 when unreadable.
qint64 peakResidentKiB();
qint64 residentKiB();

// Lowers the peak resident memory to the current one, so that a following peakResidentKiB()
// measures what happens from now on. False where the kernel does not allow it.
bool resetPeakResident();
