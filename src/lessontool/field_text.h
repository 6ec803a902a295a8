#pragma once

#include <QString>
#include <QStringView>

/// Simple HTML reduced to text: tags dropped (a line break, paragraph or division tag becoming a
/// space), character references (&nbsp;, &amp;, &lt;, &gt;, &quot;, &apos;, &#n;, &#xh;) decoded.
/// A '<' or '&' that opens no tag or reference stays.
QString htmlToText(QStringView text);

/// A field as a lesson stores it: TAB, CR, LF and other line breaks made spaces, blanks at both
/// ends trimmed.
QString lessonField(QStringView text);
