#pragma once

#include <utility>

#include <unistd.h>

// An open file descriptor of the system, closed when it goes.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    FileDescriptor(FileDescriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor &operator=(FileDescriptor &&) = delete;
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    // Hands the descriptor over to a new owner.
    int release() { return std::exchange(m_fd, -1); }
    // Closes now and reports the close error, which can be the first sign of a failed write.
    int close() { return ::close(std::exchange(m_fd, -1)); }

private:
    int m_fd;
};
