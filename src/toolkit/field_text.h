#pragma once

#include <QString>
#include <QStringView>

class QFont;

namespace toolkit {

/// The most UTF-16 units of a lesson field that a label or a choice takes before it is laid out:
/// far more than the widest page shows at the smallest size, and few enough that laying them out
/// and painting them costs nothing, whatever the lesson holds.
qsizetype fieldTextCap();

/// Another cap while it lives, for tests that check the cut without huge fields.
class ScopedFieldTextCap
{
public:
    explicit ScopedFieldTextCap(qsizetype cap);
    ~ScopedFieldTextCap();
    ScopedFieldTextCap(const ScopedFieldTextCap &) = delete;
    ScopedFieldTextCap &operator=(const ScopedFieldTextCap &) = delete;

private:
    qsizetype m_previous;
};

/// A field's text as widgets keep it: cut to the cap, never inside a surrogate pair.
struct FieldText
{
    QString text;
    bool cut = false; ///< the field was longer than the cap
};
FieldText capFieldText(QStringView field);

/// The whole text for a tooltip or a screen reader: up to 1,000 characters, then "…" (also when
/// the field was cut before that).
QString spokenText(const FieldText &field);

/// The text as it shows in width pixels of font: whole when it fits, else cut to end with "…"
/// within the width; a field cut at the cap always ends with "…".
QString fittedText(const FieldText &field, const QFont &font, int width);

} // namespace toolkit
