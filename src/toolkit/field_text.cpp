#include "toolkit/field_text.h"

#include <QFontMetrics>

namespace toolkit {
namespace {

constexpr qsizetype spokenLength = 1000;
const QChar ellipsis(0x2026);

qsizetype &currentCap()
{
    static qsizetype cap = 2048;
    return cap;
}

/// At most length units of text, one fewer where the last would split a surrogate pair.
QStringView leftWhole(QStringView text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

} // namespace

qsizetype fieldTextCap()
{
    return currentCap();
}

ScopedFieldTextCap::ScopedFieldTextCap(qsizetype cap) : m_previous(currentCap())
{
    currentCap() = cap;
}

ScopedFieldTextCap::~ScopedFieldTextCap()
{
    currentCap() = m_previous;
}

FieldText capFieldText(QStringView field)
{
    const QStringView kept = leftWhole(field, currentCap());
    return {kept.toString(), kept.size() < field.size()};
}

QString spokenText(const FieldText &field)
{
    if (!field.cut && field.text.size() <= spokenLength)
        return field.text;
    return leftWhole(field.text, spokenLength).toString() + ellipsis;
}

QString fittedText(const FieldText &field, const QFont &font, int width)
{
    const QFontMetrics metrics(font);
    QString fitted = metrics.elidedText(field.text, Qt::ElideRight, width);
    if (!field.cut || fitted != field.text)
        return fitted;
    // Cut at the cap yet fitting (zero-width characters): the "…" still says that text is missing.
    return metrics.elidedText(field.text + ellipsis, Qt::ElideRight, width);
}

} // namespace toolkit
