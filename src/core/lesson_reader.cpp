#include "core/lesson_reader.h"

#include "core/word_list.h"
#include "platform/file_error.h"
#include "platform/posix_file.h"

#include <QtEndian>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>

using platform::FileError;

namespace {

QStringView orSpace(QStringView field)
{
    return field.isEmpty() ? QStringView(u" ") : field;
}

void appendEntry(const QStringView (&fields)[3], WordListsRef lists)
{
    if (fields[0].isEmpty() && fields[1].isEmpty() && fields[2].isEmpty())
        return;
    lists.ch.append(orSpace(fields[0]));
    lists.pin.append(orSpace(fields[1]));
    lists.fr.append(orSpace(fields[2]));
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
// as a slice of the text, so the cost is the scan plus a copy into the lists' buffers.
void parseUnits(QStringView text, WordListsRef lists)
{
    const char16_t *unit = text.utf16();
    const char16_t *const end = unit + text.size();
    if (unit != end && *unit == u'\xFEFF')
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
            appendEntry(fields, lists);
            fields[0] = fields[1] = fields[2] = QStringView();
            field = 0;
            if (c == u'\r' && unit + 1 != end && unit[1] == u'\n')
                ++unit;
        }
        fieldStart = unit + 1;
    }
    // A last line without a line end.
    if (field < 3)
        fields[field] = QStringView(fieldStart, end);
    appendEntry(fields, lists);
}

// Parses units that hold byteCount bytes of the file (the last unit half-filled when it is odd).
// With an odd length only the lines ended before the stray byte are taken.
bool parseBuffer(QStringView units, qsizetype byteCount, WordListsRef lists)
{
    if (byteCount % 2 == 0) {
        parseUnits(units, lists);
        return true;
    }
    units.chop(1);
    qsizetype complete = units.size();
    while (complete > 0 && units[complete - 1] != u'\n' && units[complete - 1] != u'\r')
        --complete;
    parseUnits(units.first(complete), lists);
    return false;
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
    return parseBuffer(units, bytes.size(), lists);
}

platform::FileResult<> readLessonFile(const QByteArray &name, WordListsRef lists)
{
    const OpenEntry entry(name);
    if (entry.error())
        return *entry.error();
    if (S_ISDIR(entry.status().st_mode))
        return FileError::fromErrno(EISDIR);
    const qsizetype size = qsizetype(entry.status().st_size);

    // The file is read straight into the units that are parsed, with no second copy.
    QString units;
    try {
        units = QString((size + 1) / 2, Qt::Uninitialized);
    } catch (const std::bad_alloc &) {
        return FileError::fromErrno(ENOMEM);
    }
    const qsizetype byteCount
        = platform::readFully(entry.fd(), reinterpret_cast<char *>(units.data()), size);
    if (byteCount < 0)
        return FileError::fromErrno(errno);
    qFromLittleEndian<char16_t>(units.data(), byteCount / 2, units.data());
    if (!parseBuffer(QStringView(units).first((byteCount + 1) / 2), byteCount, lists))
        return FileError {0, platform::readPastEndText()};
    return {};
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
