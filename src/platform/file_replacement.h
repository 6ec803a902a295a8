#pragma once

#include "platform/file_error.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <limits>
#include <optional>

/// Files replaced whole, never left truncated: the one way the program and the lesson tool write a
/// file. The link rule, the temporaries, the owner kept and the in-place rewrite of directories
/// that take no new file live here; plain reads in platform/posix_file.h.
namespace platform {

/// A new content for a file from its old one (empty when it is new); nullopt refuses the write.
using Edit = std::function<std::optional<QByteArray>(QByteArrayView)>;

/// Replaces the content of the file at path by edit(its content), creating it when missing. Never
/// leaves a truncated file: a temporary file beside it, with the old file's owner, group and mode,
/// is renamed over it; a kill leaves no temporary behind for long, as the next write removes it.
/// Symbolic links are followed where the kernel's protected_symlinks rule would follow them (EACCES
/// otherwise), and a link to a missing file is not created through (ENOENT). A read-only file is
/// refused, whatever its directory allows, and so is anything but a regular file (EISDIR for a
/// directory, EINVAL otherwise), a file longer than maxBytes (EFBIG) and a content that edit
/// refuses (EILSEQ). The read, the edit and the replacement hold an advisory lock on the
/// directory, so that two programs editing one file never lose each other's change; a lock held
/// elsewhere for more than a second refuses the write (EWOULDBLOCK).
FileResult<> editFile(const QByteArray &path, const Edit &edit,
                      qsizetype maxBytes = std::numeric_limits<qsizetype>::max());

/// Takes a replacement's content piece by piece; 0 or errno.
using ContentSink = std::function<int(QByteArrayView)>;

/// Gives a replacement its content through the sink, piece by piece; 0 once it is complete, or an
/// error number that abandons the replacement, the old file kept. Out of memory is ENOMEM.
using ContentSource = std::function<int(const ContentSink &)>;

/// Puts bytes in the file at path, creating it when missing, by the same safe replacement as
/// editFile: links, temporaries, owner, group and mode, and the refusals are the same. Without
/// replaceExisting an existing file is kept (EEXIST), before anything is written.
FileResult<> writeFile(const QByteArray &path, QByteArrayView bytes, bool replaceExisting);

/// writeFile with the content given piece by piece, so that it never needs to be held whole.
FileResult<> writeFile(const QByteArray &path, const ContentSource &content, bool replaceExisting);

/// Makes directory and its missing parents, each new one private (mode 0700). Made by root in
/// another user's directory, a new one becomes that user's, as the files root makes there do
/// (replacements): root running a learner's program must not leave the learner locked out. On a
/// failure, the directories made are removed again.
FileResult<> makeDirectories(const QByteArray &directory);

/// The moments of a replacement at which a kill leaves a temporary file: once it holds the new
/// content, and once it has a name beside the file, just before it is renamed over it.
enum class WriteStep
{
    Written,
    Named
};

/// Calls hook at each step of every replacement (null: none); for tests, to stop a write there.
void setWriteStepHook(void (*hook)(WriteStep));

/// Whether replacements may use unnamed temporary files (the default); for tests, to take the way
/// of file systems that have none.
void setUnnamedTemporaries(bool allowed);

} // namespace platform
