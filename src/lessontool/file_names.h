#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

/// File names as the tool takes them: the bytes given, whatever they are. Linux names are bytes,
/// not always UTF-8; a name the program lists must reach the same file through the tool.
namespace lessontool::file_names {

/// A command-line argument as text: its valid UTF-8 decoded, each other byte kept as the lone
/// surrogate U+DC80 + its value less 0x80 (no valid UTF-8 makes one), so that bytesOf() gives the
/// same bytes back.
QString fromArgument(QByteArrayView bytes);

/// The bytes of a name that fromArgument() made, or of any text: its lone surrogates U+DC80 to
/// U+DCFF give back their bytes, everything else is UTF-8.
QByteArray bytesOf(const QString &name);

/// Text for a terminal message: the bytes that are no UTF-8 written \xHH, and the control
/// characters, which could move the cursor or change the terminal's state, written \xHH (C0 and
/// DEL) or \u00HH (C1). Everything else stays as it is.
QString visible(const QString &text);

} // namespace lessontool::file_names
