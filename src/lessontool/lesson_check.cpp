#include "lessontool/lesson_check.h"

#include "core/lesson_reader.h"
#include "core/question_draw.h"
#include "core/word_list.h"
#include "lessontool/file_names.h"
#include "lessontool/lesson_file.h"
#include "platform/posix_file.h"
#include "platform/text_lines.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lessontool {

namespace {

bool hasTxtSuffix(const QString &path)
{
    return path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
}

// Why a file whose first bytes are not FF FE is passed over, with what it seems to hold.
QString signatureReason(const QByteArray &name)
{
    QByteArray head(3, '\0');
    const platform::Descriptor file
        = platform::openRetrying(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    head.truncate(file.isOpen()
                      ? std::max<qsizetype>(platform::readFully(file.get(), head.data(), 3), 0)
                      : 0);
    if (head.size() < 2)
        return QStringLiteral("moins de deux octets : pas de marque FF FE");
    if (head.startsWith("\xFE\xFF"))
        return QStringLiteral("UTF-16 gros-boutiste (FE FF) : le programme ne lit que l'UTF-16 LE "
                              "(FF FE) ; « hanlexo-lesson import » la convertit");
    if (head.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("UTF-8 avec BOM : le programme ne lit que l'UTF-16 LE (FF FE) ; "
                              "« hanlexo-lesson import » la convertit");
    return QStringLiteral(
        "ne commence pas par les octets FF FE (UTF-16 LE) : texte 8 bits ou UTF-8 "
        "? « hanlexo-lesson import » la convertit");
}

// The code units of a lesson's UTF-16 LE bytes, read in place: the file is not copied again.
struct LittleEndianUnits
{
    QByteArrayView bytes;
    qsizetype size() const { return bytes.size() / 2; }
    QChar operator[](qsizetype i) const
    {
        return QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
    }
};

// Lines with more than three TAB-separated fields, which the reader drops without a word; its
// lines are split by the same rule (CR LF, LF or CR alone).
QList<LessonCheck::ExtraFields> extraFieldLines(const QByteArray &bytes)
{
    QList<LessonCheck::ExtraFields> lines;
    const LittleEndianUnits units {bytes};
    qsizetype number = 1;
    for (qsizetype at = 1; at < units.size(); ++number) { // unit 0 is the mark
        const platform::TextLine line = platform::lineAt(units, at);
        qsizetype tabs = 0;
        for (qsizetype i = line.begin; i < line.textEnd; ++i)
            tabs += units[i] == u'\t' ? 1 : 0;
        if (tabs >= 3)
            lines.append({number, tabs + 1});
        at = line.end;
    }
    return lines;
}

} // namespace

LessonCheck checkLesson(const QString &path, qsizetype maxBytes)
{
    LessonCheck check;
    check.path = path;
    const QByteArray name = file_names::bytesOf(path);

    struct stat status;
    if (::stat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode)) {
        check.notListedReason = QStringLiteral("c'est un dossier");
        return check;
    }
    const platform::FileResult<ProbeResult> probe = probeLesson(name);
    if (!probe.ok()) {
        check.notListedReason
            = QStringLiteral("%1 (le programme l'affiche au démarrage et passe le fichier)")
                  .arg(probe.error().message);
        return check;
    }
    if (probe.value() != ProbeResult::Lesson) {
        check.notListedReason = S_ISREG(status.st_mode)
            ? signatureReason(name)
            : QStringLiteral("pas un fichier ordinaire");
        return check;
    }
    if (!hasTxtSuffix(path)) {
        check.notListedReason = QStringLiteral("le nom ne finit pas par .txt");
        // Still read: the learner may only have to rename it.
    } else {
        check.listed = true;
    }

    // Read once, whole: the reader parses the bytes and the extra fields are counted in them.
    WordList ch, pin, fr;
    const platform::FileResult<QByteArray> bytes = platform::readRegularFile(name, 0, maxBytes);
    if (!bytes.ok()) {
        if (bytes.error().code == ENOMEM)
            throw std::bad_alloc();
        if (bytes.error().code == EFBIG) {
            check.tooLarge = tooLargeText(maxBytes);
            return check;
        }
        check.readError = bytes.error().message;
    } else {
        if (!parseLesson(bytes.value(), {ch, pin, fr}))
            check.readError = platform::readPastEndText();
        check.extra = extraFieldLines(bytes.value());
    }
    check.entries = ch.count();

    QHash<QStringView, qsizetype> firstEntry;
    firstEntry.reserve(ch.count());
    QHash<qsizetype, qsizetype> duplicateIndex; // first entry -> index in check.duplicates
    for (qsizetype i = 0; i < ch.count(); ++i) {
        LessonCheck::MissingField missing {i + 1, ch.item(i), {}};
        if (ch.view(i) == u" ")
            missing.fields << QStringLiteral("chinois");
        if (pin.view(i) == u" ")
            missing.fields << QStringLiteral("pinyin");
        if (fr.view(i) == u" ")
            missing.fields << QStringLiteral("français");
        if (!missing.fields.isEmpty())
            check.missing.append(missing);

        const auto it = firstEntry.constFind(ch.view(i));
        if (it == firstEntry.cend()) {
            firstEntry.insert(ch.view(i), i);
            continue;
        }
        const qsizetype first = *it;
        auto known = duplicateIndex.find(first);
        if (known == duplicateIndex.end()) {
            known = duplicateIndex.insert(first, check.duplicates.size());
            check.duplicates.append(LessonCheck::Duplicate {ch.item(i), {first + 1}});
        }
        check.duplicates[*known].entries.append(i + 1);
    }
    check.distinctChinese = firstEntry.size();
    check.testAlone = canDrawQuestion(ch, fr, Field::Chinese, Field::Pinyin);

    return check;
}

QString checkReport(const LessonCheck &check, int maxDetails)
{
    QString out = quotedName(check.path) + QStringLiteral(" : ");
    if (!check.tooLarge.isEmpty()) {
        out += QStringLiteral("%1, lecture impossible (%2)\n")
                   .arg(check.listed ? QStringLiteral("listée") : QStringLiteral("non listée"),
                        check.tooLarge);
        return out;
    }
    if (!check.listed && check.entries == 0 && check.readError.isEmpty()) {
        out += QStringLiteral("non listée par le programme (%1)\n").arg(check.notListedReason);
        return out;
    }
    if (check.listed)
        out += QStringLiteral("listée, ");
    else
        out += QStringLiteral("non listée (%1), ").arg(check.notListedReason);
    out += QStringLiteral("%1 entrée(s)").arg(check.entries);
    out += check.readError.isEmpty()
        ? QStringLiteral(", lue entièrement\n")
        : QStringLiteral(", lecture arrêtée : « %1. » (le programme en garde les lignes "
                         "complètes d'avant, le signale, et charge quand même les autres leçons "
                         "cochées)\n")
              .arg(check.readError);

    const auto more = [&](qsizetype count) {
        if (count > maxDetails)
            out += QStringLiteral("    … et %1 autre(s)\n").arg(count - maxDetails);
    };
    if (!check.missing.isEmpty()) {
        out += QStringLiteral("  %1 entrée(s) avec un champ manquant (affiché \" \") :\n")
                   .arg(check.missing.size());
        for (const auto &missing : check.missing.first(qMin(check.missing.size(), maxDetails)))
            out += QStringLiteral("    entrée %1 (%2) : %3\n")
                       .arg(missing.entry)
                       .arg(file_names::visible(missing.chinese),
                            missing.fields.join(QStringLiteral(", ")));
        more(check.missing.size());
    }
    if (!check.extra.isEmpty()) {
        out += QStringLiteral("  %1 ligne(s) de plus de trois champs (le reste est ignoré) :\n")
                   .arg(check.extra.size());
        for (const auto &extra : check.extra.first(qMin(check.extra.size(), maxDetails)))
            out += QStringLiteral("    ligne %1 : %2 champs\n").arg(extra.line).arg(extra.fields);
        more(check.extra.size());
    }
    if (!check.duplicates.isEmpty()) {
        out += QStringLiteral("  %1 texte(s) chinois en double :\n").arg(check.duplicates.size());
        for (const auto &duplicate :
             check.duplicates.first(qMin(check.duplicates.size(), maxDetails))) {
            QStringList numbers;
            for (qsizetype entry : duplicate.entries)
                numbers << QString::number(entry);
            out += QStringLiteral("    %1 : entrées %2\n")
                       .arg(file_names::visible(duplicate.chinese),
                            numbers.join(QStringLiteral(", ")));
        }
        more(check.duplicates.size());
    }
    out += check.testAlone
        ? QStringLiteral("  utilisable seule en mode Test : oui (%1 textes chinois différents)\n")
              .arg(check.distinctChinese)
        : QStringLiteral("  utilisable seule en mode Test : non (%1 texte(s) chinois "
                         "différent(s), il en faut au moins 6)\n")
              .arg(check.distinctChinese);
    return out;
}

} // namespace lessontool
