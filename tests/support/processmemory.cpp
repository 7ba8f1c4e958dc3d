#include "processmemory.h"

#include <QCoreApplication>
#include <QFile>

ResidentMemory residentMemoryOf(qint64 pid)
{
    ResidentMemory memory;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return memory;
    for (const QByteArray &line : status.readAll().split('\n')) {
        const qint64 value = line.mid(6).trimmed().split(' ').constFirst().toLongLong();
        if (line.startsWith("VmHWM:"))
            memory.peakKiB = value;
        else if (line.startsWith("VmRSS:"))
            memory.currentKiB = value;
    }
    return memory;
}

qint64 peakResidentKiB()
{
    return residentMemoryOf(QCoreApplication::applicationPid()).peakKiB;
}

qint64 residentKiB()
{
    return residentMemoryOf(QCoreApplication::applicationPid()).currentKiB;
}

bool resetPeakResident()
{
    // Writing 5 to clear_refs resets the peak to the current resident memory.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}
