#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

/// A private-profile INI file of 8-bit text: sections and keys matched regardless of ASCII case,
/// blanks around "=" and around values trimmed, every other line kept byte for byte on a write.
namespace platform::ini {

/// The value text of key in section of the given file content, trimmed; nullopt when absent.
std::optional<QByteArray> valueIn(QByteArrayView content, QByteArrayView section,
                                  QByteArrayView key);

/// The file content after writing key=value in section: replaces the key's first line, or adds the
/// key at the end of the section, or adds the section at the end of the content.
QByteArray withValue(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                     QByteArrayView value);

/// Reads the value from the file at path; nullopt for a missing or unreadable file, section or key.
std::optional<QByteArray> readValue(const QByteArray &path, QByteArrayView section,
                                    QByteArrayView key);

/// Writes the value into the file at path, creating it when missing; 0 or the system's error
/// number. Never leaves a truncated file: a temporary file beside it, with the old file's owner,
/// group and mode, is renamed over it; a kill leaves no temporary behind for long, as the next
/// write removes it. Symbolic links are followed where the kernel's protected_symlinks rule would
/// follow them (EACCES otherwise), and a link to a missing file is not created through (ENOENT).
int writeValue(const QByteArray &path, QByteArrayView section, QByteArrayView key,
               QByteArrayView value);

/// The moments of a write at which a kill leaves a temporary file: once it holds the new content,
/// and once it has a name beside the file, just before it is renamed over it.
enum class WriteStep
{
    Written,
    Named
};

/// Calls hook at each step of every write (null: none); for tests, to stop a write there.
void setWriteStepHook(void (*hook)(WriteStep));

/// Whether writes may use unnamed temporary files (the default); for tests, to take the way of
/// file systems that have none.
void setUnnamedTemporaries(bool allowed);

} // namespace platform::ini
