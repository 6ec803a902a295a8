#include "core/lesson_reader.h"

#include "core/word_list.h"
#include "platform/file_error.h"
#include "platform/mapped_buffer.h"
#include "platform/posix_file.h"

#include <QFile>
#include <QtEndian>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>

using platform::FileError;

namespace {

QStringView orSpace(QStringView field)
{
    return field.isEmpty() ? QStringView(u" ") : field;
}

/// Appends one entry to the three lists, or nothing at all when one of them has no room left: the
/// lists keep equal lengths. False when there was no room.
bool appendEntry(const QStringView (&fields)[3], WordListsRef lists)
{
    if (fields[0].isEmpty() && fields[1].isEmpty() && fields[2].isEmpty())
        return true;
    const QStringView ch = orSpace(fields[0]);
    const QStringView pin = orSpace(fields[1]);
    const QStringView fr = orSpace(fields[2]);
    if (!lists.ch.makeRoom(ch.size()) || !lists.pin.makeRoom(pin.size())
        || !lists.fr.makeRoom(fr.size()))
        return false;
    lists.ch.appendInRoom(ch);
    lists.pin.appendInRoom(pin);
    lists.fr.appendInRoom(fr);
    return true;
}

// The first unit from unit on that is a control character up to CR, or end. Text units are
// skipped eight at a time where the processor allows.
const char16_t *nextControl(const char16_t *unit, const char16_t *end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(short(u'\r'));
    const __m128i zero = _mm_setzero_si128();
    for (; end - unit >= 8; unit += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(unit));
        // A unit saturates to 0 when subtracting CR exactly when it is at most CR.
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(units, cr), zero));
        if (mask != 0)
            return unit + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    while (unit != end && *unit > u'\r')
        ++unit;
    return unit;
}

// One pass over the code units: only TAB, LF and CR stop the scan, and each field is appended once
// as a slice of the text, so the cost is the scan plus a copy into the lists' buffers. A last line
// without a line end counts. False when the lists had no room left.
bool parseUnits(QStringView text, WordListsRef lists, bool atFileStart)
{
    const char16_t *unit = text.utf16();
    const char16_t *const end = unit + text.size();
    if (atFileStart && unit != end && *unit == u'\xFEFF')
        ++unit;
    QStringView fields[3];
    int field = 0;
    const char16_t *fieldStart = unit;
    for (; (unit = nextControl(unit, end)) != end; ++unit) {
        const char16_t c = *unit;
        if (c != u'\t' && c != u'\n' && c != u'\r')
            continue;
        if (field < 3)
            fields[field++] = QStringView(fieldStart, unit);
        if (c != u'\t') {
            if (!appendEntry(fields, lists))
                return false;
            fields[0] = fields[1] = fields[2] = QStringView();
            field = 0;
            if (c == u'\r' && unit + 1 != end && unit[1] == u'\n')
                ++unit;
        }
        fieldStart = unit + 1;
    }
    if (field < 3)
        fields[field] = QStringView(fieldStart, end);
    return appendEntry(fields, lists);
}

/// How far the complete lines of units reach: just past their last line end, 0 without one.
qsizetype completeLines(QStringView units)
{
    qsizetype complete = units.size();
    while (complete > 0 && units[complete - 1] != u'\n' && units[complete - 1] != u'\r')
        --complete;
    return complete;
}

enum class Parsed
{
    Whole,
    Odd, ///< the length was odd: the lines after the last complete one were left
    NoRoom,
};

// Parses units that hold byteCount bytes of the file (the last unit half-filled when it is odd).
// With an odd length only the lines ended before the stray byte are taken.
Parsed parseBuffer(QStringView units, qsizetype byteCount, WordListsRef lists)
{
    if (byteCount % 2 != 0) {
        units.chop(1);
        return parseUnits(units.first(completeLines(units)), lists, true) ? Parsed::Odd
                                                                          : Parsed::NoRoom;
    }
    return parseUnits(units, lists, true) ? Parsed::Whole : Parsed::NoRoom;
}

/// An entry of the working directory opened for reading, with its status; closed on every way out.
class OpenEntry
{
public:
    explicit OpenEntry(const QByteArray &name)
        // O_NONBLOCK keeps a FIFO from blocking the open.
        : m_file(platform::openRetrying(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK))
    {
        if (!m_file.isOpen() || ::fstat(m_file.get(), &m_status) != 0)
            m_error = FileError::fromErrno(errno);
    }

    const std::optional<FileError> &error() const { return m_error; }
    int fd() const { return m_file.get(); }
    const struct stat &status() const { return m_status; }

private:
    platform::Descriptor m_file;
    struct stat m_status = {};
    std::optional<FileError> m_error;
};

} // namespace

bool parseLesson(QByteArrayView bytes, WordListsRef lists)
{
    if (bytes.isEmpty())
        return true;
    // Copied once into aligned host-order units: the bytes may sit at any address.
    QString units((bytes.size() + 1) / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.data(), bytes.size() / 2, units.data());
    const Parsed parsed = parseBuffer(units, bytes.size(), lists);
    if (parsed == Parsed::NoRoom)
        throw std::bad_alloc();
    return parsed == Parsed::Whole;
}

namespace {

constexpr qsizetype defaultBlockUnits = qsizetype {64} * 1024;
qsizetype blockUnits = defaultBlockUnits;

/// The units of a lesson file read a block at a time into one buffer; the partial line at the end
/// of a block is carried to the front, so a file of any size is never held whole, only its
/// longest line.
class BlockReader
{
public:
    /// Reads through buffer, whose room is kept from file to file: a rebuild of hundreds of
    /// lessons maps its block once, not once per lesson.
    BlockReader(int fd, qsizetype size, platform::MappedBuffer &buffer)
        : m_fd(fd), m_remaining(size), m_buffer(buffer),
          m_capacity(qsizetype(buffer.capacity() / sizeof(char16_t)))
    { }

    /// Reads and parses the whole file into lists.
    platform::FileResult<> run(WordListsRef lists)
    {
        // Room for a block, or for the whole file when it is smaller.
        if (const qsizetype first = std::min(blockUnits, (m_remaining + 1) / 2);
            m_capacity < first && !grow(first))
            return FileError::fromErrno(ENOMEM);
        qsizetype carried = 0; // units of a line not ended yet, at the front of the buffer
        bool atFileStart = true;
        for (;;) {
            if (carried == m_capacity && !grow(m_capacity * 2))
                return FileError::fromErrno(ENOMEM);
            // A block at a time, whatever room an earlier file left.
            const qsizetype wanted
                = std::min(m_remaining, (std::min(m_capacity, carried + blockUnits) - carried) * 2);
            char *into = reinterpret_cast<char *>(units() + carried);
            const qsizetype got = platform::readFully(m_fd, into, wanted);
            if (got < 0)
                return FileError::fromErrno(errno);
            // A file that shrank while it was read ends where its data ends.
            m_remaining = got < wanted ? 0 : m_remaining - got;
            qFromLittleEndian<char16_t>(into, got / 2, into);
            const qsizetype held = carried + (got + 1) / 2;
            const QStringView text(units(), held);
            if (m_remaining == 0) {
                const bool odd = got % 2 != 0;
                if (odd
                    && !parseUnits(text.first(completeLines(text.first(held - 1))), lists,
                                   atFileStart))
                    return FileError::fromErrno(ENOMEM);
                if (odd)
                    return FileError {0, platform::readPastEndText()};
                if (!parseUnits(text, lists, atFileStart))
                    return FileError::fromErrno(ENOMEM);
                return {};
            }
            const qsizetype complete = completeLines(text);
            if (complete > 0) {
                if (!parseUnits(text.first(complete), lists, atFileStart))
                    return FileError::fromErrno(ENOMEM);
                atFileStart = false;
                std::memmove(units(), units() + complete,
                             std::size_t(held - complete) * sizeof(char16_t));
            }
            carried = held - complete;
        }
    }

private:
    char16_t *units() const { return static_cast<char16_t *>(m_buffer.data()); }

    bool grow(qsizetype unitCount)
    {
        if (!m_buffer.resize(std::size_t(std::max<qsizetype>(unitCount, 1)) * sizeof(char16_t)))
            return false;
        m_capacity = qsizetype(m_buffer.capacity() / sizeof(char16_t));
        return true;
    }

    int m_fd;
    qsizetype m_remaining; ///< bytes of the file still to read
    platform::MappedBuffer &m_buffer;
    qsizetype m_capacity;
};

/// The block room kept between reads; a long line's larger room is given back after its file.
platform::MappedBuffer &blockBuffer()
{
    static thread_local platform::MappedBuffer buffer;
    return buffer;
}

} // namespace

void setLessonBlockUnits(qsizetype units)
{
    blockUnits = units > 0 ? units : defaultBlockUnits;
}

platform::FileResult<> readLessonFile(const QByteArray &name, WordListsRef lists,
                                      qsizetype maxBytes)
{
    const OpenEntry entry(name);
    if (entry.error())
        return *entry.error();
    if (S_ISDIR(entry.status().st_mode))
        return FileError::fromErrno(EISDIR);
    // The reader stops at this length, so a file that grows meanwhile is never read past the cap.
    if (entry.status().st_size > maxBytes)
        return FileError::fromErrno(EFBIG);
    platform::MappedBuffer &buffer = blockBuffer();
    BlockReader reader(entry.fd(), qsizetype(entry.status().st_size), buffer);
    platform::FileResult<> read = reader.run(lists);
    if (const std::size_t kept = std::size_t(blockUnits) * sizeof(char16_t);
        buffer.capacity() > kept)
        buffer.resize(kept);
    return read;
}

platform::FileResult<ProbeResult> probeLesson(const QByteArray &name)
{
    // A socket cannot even be opened (ENXIO); like the other entries that are no files, it is
    // passed over without a word.
    struct stat named = {};
    if (::stat(name.constData(), &named) == 0 && S_ISSOCK(named.st_mode))
        return ProbeResult::NotLesson;
    const OpenEntry entry(name);
    if (entry.error())
        return *entry.error();
    // Only regular files are read: a directory, FIFO or device named "*.txt" is passed over.
    if (!S_ISREG(entry.status().st_mode))
        return ProbeResult::NotLesson;
    unsigned char head[2];
    const qsizetype got = platform::readFully(entry.fd(), reinterpret_cast<char *>(head), 2);
    if (got < 0)
        return FileError::fromErrno(errno);
    return got == 2 && head[0] == 0xFF && head[1] == 0xFE ? ProbeResult::Lesson
                                                          : ProbeResult::NotLesson;
}

QString lessonNameLine(const QByteArray &name)
{
    return QStringLiteral("« %1 »").arg(QFile::decodeName(name));
}
