#pragma once

#include <QIODevice>

// A read-only, seekable view of `limit` bytes of `source` from `offset` on; `source` must be open
// for reading and outlive the view. Reading past the limit finds the end, whatever the source
// reports: a file of /proc reports size 0 and may deliver gigabytes.
class BoundedDevice final : public QIODevice
{
public:
    BoundedDevice(QIODevice &source, qint64 limit) : BoundedDevice(source, 0, limit) {}
    BoundedDevice(QIODevice &source, qint64 offset, qint64 limit);

    bool isSequential() const override { return false; }
    qint64 size() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    QIODevice &m_source;
    qint64 m_offset;
    qint64 m_limit;
};
