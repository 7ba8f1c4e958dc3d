#include "boundeddevice.h"

#include <algorithm>

BoundedDevice::BoundedDevice(QIODevice &source, qint64 offset, qint64 limit)
    : m_source(source)
    , m_offset(std::max<qint64>(offset, 0))
    , m_limit(std::max<qint64>(limit, 0))
{
    // The source buffers already; a second buffer here would only copy.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 BoundedDevice::size() const
{
    return std::clamp<qint64>(m_source.size() - m_offset, 0, m_limit);
}

qint64 BoundedDevice::readData(char *data, qint64 maxSize)
{
    const qint64 position = pos();
    const qint64 wanted = std::min(maxSize, m_limit - position);
    if (wanted <= 0)
        return 0;
    if (m_source.pos() != m_offset + position && !m_source.seek(m_offset + position))
        return -1;
    return m_source.read(data, wanted);
}

qint64 BoundedDevice::writeData(const char *, qint64)
{
    return -1;
}
