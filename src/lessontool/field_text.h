#pragma once

#include <QString>
#include <QStringView>

namespace lessontool {

/// What a source says of the markup in its fields.
enum class FieldMarkup
{
    Html, ///< marked as HTML ("#html:true"): every tag and character reference is markup
    Recognised, ///< unmarked: only the markup flashcard programs write is markup
    Text, ///< marked as text ("#html:false"), or a format without markup: nothing is markup
};

/// A field's markup reduced to text. With Html, tags are dropped and character references
/// (&nbsp;, &amp;, &lt;, &gt;, &quot;, &apos;, &#n;, &#xh;) decoded. With Recognised, only <b>,
/// <i>, <u>, <br>, <div>, <span ...>, their ends, and &nbsp;, &amp;, &lt;, &gt;, &quot; are; any
/// other
/// '<' or '&' is text. A line break (<br>, <div>, </div>, and with Html <p>, <li> and the like)
/// between two pieces of text becomes " ; ", one at either end of the field nothing; a no-break
/// space is a space.
QString htmlToText(QStringView text, FieldMarkup markup);

/// A field as a lesson stores it: TAB, CR, LF and other line breaks made spaces, blanks at both
/// ends trimmed.
QString lessonField(QStringView text);

} // namespace lessontool
