#include "lessontool/exporter.h"

#include "core/lesson_reader.h"
#include "core/word_list.h"
#include "lessontool/lesson_check.h"

#include <QFile>

namespace {

void appendField(QByteArray &out, QStringView field)
{
    if (field == u" ")
        return;
    if (field.contains(u'"')) {
        QString quoted = field.toString();
        quoted.replace(u'"', QStringLiteral("\"\""));
        out += '"';
        out += quoted.toUtf8();
        out += '"';
        return;
    }
    out += field.toUtf8();
}

} // namespace

std::optional<QString> readLessonEntries(const QString &path, QList<LessonEntry> &entries)
{
    const QByteArray name = QFile::encodeName(path);
    const platform::FileResult<ProbeResult> probe = probeLesson(name);
    if (!probe.ok())
        return QStringLiteral("%1 : %2").arg(quotedName(path), probe.error().message);
    if (probe.value() != ProbeResult::Lesson)
        return QStringLiteral("%1 : pas un fichier de leçon (%2)")
            .arg(quotedName(path), checkLesson(path).notListedReason);
    WordList ch, pin, fr;
    if (const platform::FileResult<> read = readLessonFile(name, {ch, pin, fr}); !read.ok())
        return QStringLiteral("%1 : %2. Rien n'a été exporté")
            .arg(quotedName(path), read.error().message);
    entries.clear();
    entries.reserve(ch.count());
    for (qsizetype i = 0; i < ch.count(); ++i)
        entries.append({ch.item(i), pin.item(i), fr.item(i)});
    return std::nullopt;
}

QByteArray exportText(const QList<LessonEntry> &entries, bool header)
{
    QByteArray out;
    if (header)
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
