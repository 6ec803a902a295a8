#pragma once

#include "platform/file_error.h"

#include <QByteArray>
#include <QByteArrayView>

#include <limits>
#include <optional>
#include <sys/types.h>
#include <utility>

/// The plain POSIX file calls the program and the lesson tool share: a descriptor closed on every
/// way out, reads and writes that go on after a signal, and the whole of a regular file. Files are
/// written through platform/file_replacement.h.
namespace platform {

/// A file descriptor, closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) { }
    ~Descriptor();
    Descriptor(Descriptor &&other) noexcept : m_fd(other.release()) { }
    Descriptor &operator=(Descriptor &&) = delete;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    /// Closes the descriptor held, if any, and holds fd.
    void reset(int fd = -1);
    /// Gives the descriptor up without closing it.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

/// open(2), again while a signal interrupts it; a closed Descriptor with errno set on failure.
Descriptor openRetrying(const QByteArray &path, int flags);

/// Reads up to size bytes, again after each interruption; the count read (short only at the end
/// of the file), or -1 with errno set.
qsizetype readFully(int fd, char *data, qsizetype size);

/// Writes all of bytes, again after each interruption: at the descriptor's position, or from
/// offset on when given; 0 or errno.
int writeFully(int fd, QByteArrayView bytes, std::optional<off_t> offset = std::nullopt);

/// The whole of a regular file (a device or a pipe could block or never end); extraFlags are added
/// to the open flags. Fails with EISDIR for a directory, EINVAL for anything else that is not a
/// regular file, and EFBIG for a file longer than maxBytes, also one that grows past it while it
/// is read.
FileResult<QByteArray> readRegularFile(const QByteArray &path, int extraFlags = 0,
                                       qsizetype maxBytes = std::numeric_limits<qsizetype>::max());

} // namespace platform
