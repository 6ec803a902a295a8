#pragma once

#include "platform/file_error.h"

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

/// The longest settings file read, far above any real one: a larger file, such as a sparse one
/// that another user planted, is unreadable rather than read for seconds at every start and change.
inline constexpr qsizetype maxFileBytes = qsizetype(1) << 20;

/// Whether content is 8-bit text this layer may read and write: not UTF-16 (it begins with the
/// byte-order mark FF FE or FE FF), whose lines 8-bit keys would never match and where an
/// appended 8-bit line would mix two encodings in one file.
bool isEightBitText(QByteArrayView content);

/// Reads the value from the file at path: nullopt for a missing section or key, an error for a
/// file that cannot be read (a missing one too, one longer than maxFileBytes (EFBIG), a UTF-16 one
/// (EILSEQ)).
FileResult<std::optional<QByteArray>> readValue(const QByteArray &path, QByteArrayView section,
                                                QByteArrayView key);

/// Writes the value into the file at path, creating it when missing, through editFile (the file
/// replaced whole under the directory's lock, links followed as the kernel would); a file that
/// readValue cannot read is refused, never rewritten.
FileResult<> writeValue(const QByteArray &path, QByteArrayView section, QByteArrayView key,
                        QByteArrayView value);

} // namespace platform::ini
