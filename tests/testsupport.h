#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <sys/resource.h>
#include <sys/types.h>

/// A temporary working directory for one test: made current on creation, the previous one restored
/// (and everything removed) at the end.
class ScopedWorkDir
{
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir &) = delete;
    ScopedWorkDir &operator=(const ScopedWorkDir &) = delete;

    QString path() const { return m_dir.path(); }
    /// Absolute path of name inside the directory.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

/// Writes bytes to path (creating or replacing it); fails the test on error.
void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

/// The byte-order mark a lesson file begins with: FF FE.
QByteArray bom();

/// UTF-16 LE bytes of text, without a byte-order mark.
QByteArray utf16le(const QString &text);

/// A lesson file: FF FE, then each line as "ch\tpin\tfr" joined and ended by CR LF.
QByteArray lessonBytes(const QStringList &lines);

/// A lesson file's entries ("ch", "pin", "fr" each) as the format defines them, read one code unit
/// at a time with no attempt at speed, independently of the program's reader: UTF-16 LE units, a
/// leading U+FEFF skipped, lines ended by CR LF, LF or CR (the last one also without an end), the
/// first three TAB-separated fields with " " for an empty one, blank lines skipped; with an odd
/// length (even false) only the lines ended before the stray byte.
struct ReferenceLesson
{
    QList<QStringList> entries;
    bool even = true;
};
ReferenceLesson referenceRead(const QByteArray &bytes);

/// False where permission bits bind nobody (running as root): a read-only directory still takes
/// files.
bool permissionsEnforced();

/// While it lives, permission bits bind the calling thread, root included: the two capabilities
/// that let root pass them (reading and searching anything, writing anything) are lowered from its
/// effective set, and raised again at the end. The program reads and writes on the thread that
/// runs the test, so a root run checks what a learner meets on a read-only or unreadable file.
class PermissionBitsBind
{
public:
    PermissionBitsBind();
    ~PermissionBitsBind();
    PermissionBitsBind(const PermissionBitsBind &) = delete;
    PermissionBitsBind &operator=(const PermissionBitsBind &) = delete;

private:
    bool m_lowered = false;
};

/// True in a CI run (CI=true), where no case may be left unrun.
bool inCi();

/// Skips a case this machine or this user cannot run; in a CI run, fails instead.
#define SKIP_OR_FAIL_IN_CI(reason)                                                                 \
    do {                                                                                           \
        if (inCi())                                                                                \
            QFAIL("cannot run here, and CI runs every case: " reason);                             \
        QSKIP(reason);                                                                             \
    } while (false)

/// Writes to regular files fail (EFBIG) beyond limit bytes while it lives, even for root: a full
/// disk, or with 0 a refused write, as the program meets it.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved {};
    void (*m_previousHandler)(int) = nullptr;
};

/// The unprivileged user and group "nobody" and "nogroup", as another user than the test's.
inline constexpr uid_t nobodyId = 65534;

/// Runs step in a child process as "nobody" and gives its result (0 to 254); -1 when the child
/// cannot be made or cannot take that identity (the tests do not run as root).
int runAsNobody(const std::function<int()> &step);
