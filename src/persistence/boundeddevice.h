#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <memory>
#include <optional>

// Outside data read under a limit that holds while reading, not only by the size a file reports:
// a file of the proc file system reports size 0 and may deliver gigabytes, and a file can grow
// while it is read.

// A read-only, seekable view of `limit` bytes of `source` from `offset` on; `source` must be open
// for reading and outlive the view. Reading past the limit finds the end.
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

// Everything from the device's current position to its end (a failing read ends it), or none
// when that is more than `limit` bytes; then at most `limit` + 1 bytes were read.
std::optional<QByteArray> readAtMost(QIODevice &device, qint64 limit);

// `path` opened for reading when it names a regular file (symlinks followed); none for anything
// else. Opening never blocks: a FIFO would wait for a writer and a device may never end.
std::unique_ptr<QFile> openRegularFile(const QString &path);
