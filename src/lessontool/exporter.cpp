#include "lessontool/exporter.h"

#include "core/lesson_reader.h"
#include "core/word_list.h"
#include "lessontool/file_names.h"
#include "lessontool/importer.h"
#include "lessontool/lesson_check.h"

#include <algorithm>
#include <cerrno>
#include <new>

namespace lessontool {

namespace {

// Appends a field as import reads it back: quoted (quotes doubled) when it holds a quote, or
// begins with what at the head of the text would be read otherwise: '#' a comment, U+FEFF a
// byte-order mark.
void appendField(QByteArray &out, QStringView field)
{
    if (field == u" ")
        return;
    if (field.contains(u'"') || field.startsWith(u'#') || field.startsWith(QChar(0xFEFF))) {
        QString quoted = field.toString();
        quoted.replace(u'"', QStringLiteral("\"\""));
        out += '"';
        out += quoted.toUtf8();
        out += '"';
        return;
    }
    out += field.toUtf8();
}

bool holdsMarkupCharacters(const LessonEntry &entry)
{
    for (const QString *field : {&entry.chinese, &entry.pinyin, &entry.french}) {
        if (field->contains(u'<') || field->contains(u'&'))
            return true;
    }
    return false;
}

} // namespace

std::optional<QString> readLessonEntries(const QString &path, QList<LessonEntry> &entries,
                                         qsizetype maxBytes)
{
    const QByteArray name = file_names::bytesOf(path);
    const platform::FileResult<ProbeResult> probe = probeLesson(name);
    if (!probe.ok())
        return QStringLiteral("%1 : %2").arg(quotedName(path), probe.error().message);
    if (probe.value() != ProbeResult::Lesson)
        return QStringLiteral("%1 : pas un fichier de leçon (%2)")
            .arg(quotedName(path), checkLesson(path).notListedReason);
    WordList ch, pin, fr;
    if (const platform::FileResult<> read = readLessonFile(name, {ch, pin, fr}, maxBytes);
        !read.ok()) {
        if (read.error().code == ENOMEM)
            throw std::bad_alloc();
        if (read.error().code == EFBIG)
            return QStringLiteral("%1 : lecture impossible (%2)")
                .arg(quotedName(path), tooLargeText(maxBytes));
        return QStringLiteral("%1 : %2. Rien n'a été exporté")
            .arg(quotedName(path), read.error().message);
    }
    entries.clear();
    entries.reserve(ch.count());
    for (qsizetype i = 0; i < ch.count(); ++i)
        entries.append({ch.item(i), pin.item(i), fr.item(i)});
    return std::nullopt;
}

QByteArray exportText(const QList<LessonEntry> &entries, bool header)
{
    QByteArray out;
    // Text that looks like markup is marked as text, so that import keeps it.
    if (std::any_of(entries.cbegin(), entries.cend(), holdsMarkupCharacters))
        out += "#html:false\n";
    // A first entry that import would take for a header gets the header line before it.
    const bool firstLooksLikeHeader = !entries.isEmpty()
        && looksLikeHeader({entries[0].chinese, entries[0].pinyin, entries[0].french});
    if (header || firstLooksLikeHeader)
        out += "chinois\tpinyin\tfrançais\n";
    for (const LessonEntry &entry : entries) {
        appendField(out, entry.chinese);
        out += '\t';
        appendField(out, entry.pinyin);
        out += '\t';
        appendField(out, entry.french);
        out += '\n';
    }
    return out;
}

} // namespace lessontool
