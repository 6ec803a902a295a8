#include "platform/posix_file.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

Descriptor::~Descriptor()
{
    reset();
}

void Descriptor::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

Descriptor openRetrying(const QByteArray &path, int flags)
{
    int fd;
    do
        fd = ::open(path.constData(), flags);
    while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

qsizetype readFully(int fd, char *data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, data + done, std::size_t(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

int writeFully(int fd, QByteArrayView bytes, std::optional<off_t> offset)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const char *data = bytes.data() + done;
        const auto size = size_t(bytes.size() - done);
        const ssize_t count
            = offset ? ::pwrite(fd, data, size, *offset + off_t(done)) : ::write(fd, data, size);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return errno;
        done += count;
    }
    return 0;
}

namespace {

/// The whole of a regular file of at most maxBytes into bytes; 0 or errno (EISDIR for a
/// directory, EINVAL for anything else that is not a regular file, EFBIG past maxBytes, counted as
/// it is read: a file may grow after its size was taken).
int readRegular(const QByteArray &path, QByteArray &bytes, int extraFlags, qsizetype maxBytes)
{
    const Descriptor file = openRetrying(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | extraFlags);
    if (!file.isOpen())
        return errno;
    struct stat status
    {
    };
    if (fstat(file.get(), &status) != 0)
        return errno;
    if (!S_ISREG(status.st_mode))
        return S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    if (status.st_size > maxBytes)
        return EFBIG;
    bytes.clear();
    bytes.reserve(qsizetype(status.st_size));
    std::array<char, 65536> buffer {};
    for (;;) {
        const qsizetype count = readFully(file.get(), buffer.data(), buffer.size());
        if (count < 0)
            return errno;
        if (count > maxBytes - bytes.size())
            return EFBIG;
        bytes.append(buffer.data(), count);
        if (count < qsizetype(buffer.size()))
            return 0;
    }
}

} // namespace

FileResult<QByteArray> readRegularFile(const QByteArray &path, int extraFlags, qsizetype maxBytes)
{
    QByteArray bytes;
    if (const int error = readRegular(path, bytes, extraFlags, maxBytes))
        return FileError::fromErrno(error);
    return bytes;
}

} // namespace platform
