#include "lessontool/dictionary.h"

#include "lessontool/field_text.h"
#include "lessontool/lesson_file.h"
#include "lessontool/pinyin.h"
#include "lessontool/text_decoding.h"
#include "platform/posix_file.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <zlib.h>

namespace lessontool {

namespace {

// Lines passed over that a report names one by one; past them, only their number.
constexpr qsizetype namedBadLines = 20;
// A longer line is no dictionary line: it is passed over without being held.
constexpr qsizetype maxLineBytes = qsizetype(1) << 20;

class DictionaryReader
{
public:
    DictionaryReader(const QString &path, const QSet<QByteArray> &wanted, DictionaryRead &read)
        : m_path(path), m_wanted(wanted), m_read(read)
    { }

    // One line without its end; overlong: it was too long to hold.
    void line(QByteArrayView text, bool overlong)
    {
        ++m_number;
        if (m_number == 1 && text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        if (text.trimmed().isEmpty() && !overlong)
            return;
        if (m_inComments && text.startsWith('#'))
            return;
        m_inComments = false;
        if (overlong)
            return passOver(QStringLiteral("ligne de plus de %1 Mo").arg(maxLineBytes >> 20));
        if (firstInvalidUtf8(text) >= 0)
            return passOver(QStringLiteral("pas du texte UTF-8"));
        const auto forms = cedictLineForms(text);
        if (!forms)
            return passOver(cedictFormatText());
        ++m_read.entries;
        const bool simplified = isWanted(forms->second);
        const bool traditional = isWanted(forms->first);
        if (!simplified && !traditional)
            return;
        const std::optional<CedictEntry> entry = parseCedictLine(QString::fromUtf8(text));
        if (!entry)
            return passOver(cedictFormatText());
        if (simplified)
            m_read.words.bySimplified[entry->simplified].append(*entry);
        if (traditional)
            m_read.words.byTraditional[entry->traditional].append(*entry);
    }

    qsizetype lineNumber() const { return m_number; }

    void finish()
    {
        if (m_passedOver > namedBadLines)
            m_read.remarks.append(
                {m_path, 0,
                 QStringLiteral("%1 autre(s) ligne(s) passée(s), pas au format du dictionnaire")
                     .arg(m_passedOver - namedBadLines)});
        if (m_read.entries == 0)
            m_read.fatal = QStringLiteral("%1 : pas un dictionnaire au format CEDICT (aucune ligne "
                                          "TRAD SIMP [pin1 yin1] /sens/)")
                               .arg(quotedName(m_path));
    }

private:
    bool isWanted(QByteArrayView word) const
    {
        return m_wanted.contains(QByteArray::fromRawData(word.data(), word.size()));
    }

    void passOver(const QString &why)
    {
        if (++m_passedOver <= namedBadLines)
            m_read.remarks.append({m_path, m_number, why + QStringLiteral(" ; ligne passée")});
    }

    const QString &m_path;
    const QSet<QByteArray> &m_wanted;
    DictionaryRead &m_read;
    qsizetype m_number = 0;
    qsizetype m_passedOver = 0;
    bool m_inComments = true;
};

using GzipFile = std::unique_ptr<gzFile_s, decltype(&gzclose)>;

// Opens a regular file for reading through zlib, which passes text that is not compressed as it
// is; an error text naming the file when it cannot.
std::optional<QString> openThroughZlib(const QString &path, qsizetype maxBytes, GzipFile &file)
{
    // Not blocking: a pipe or a device is refused below rather than waited on.
    platform::Descriptor descriptor
        = platform::openRetrying(QFile::encodeName(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status
    {
    };
    int code = !descriptor.isOpen() || ::fstat(descriptor.get(), &status) != 0 ? errno
        : S_ISDIR(status.st_mode)                                              ? EISDIR
        : !S_ISREG(status.st_mode)                                             ? EINVAL
        : status.st_size > maxBytes                                            ? EFBIG
                                                                               : 0;
    if (code == 0) {
        file.reset(::gzdopen(descriptor.get(), "rb"));
        if (file)
            descriptor.release();
        else
            code = ENOMEM;
    }
    if (code != 0)
        return readErrorText(path, code, maxBytes);
    ::gzbuffer(file.get(), 1 << 17);
    return std::nullopt;
}

} // namespace

DictionaryRead readDictionary(const QString &path, const QSet<QByteArray> &wanted,
                              qsizetype maxBytes)
{
    DictionaryRead read;
    GzipFile file(nullptr, &gzclose);
    if ((read.fatal = openThroughZlib(path, maxBytes, file)))
        return read;
    DictionaryReader reader(path, wanted, read);
    QByteArray buffer(qsizetype(1) << 18, Qt::Uninitialized);
    QByteArray pending; // the start of a line that the next piece ends
    bool overlong = false;
    bool afterCr = false;
    qsizetype total = 0;
    const auto endLine = [&](QByteArrayView end) {
        overlong = overlong || pending.size() + end.size() > maxLineBytes;
        if (overlong) {
            reader.line({}, true);
        } else if (pending.isEmpty()) {
            reader.line(end, false);
        } else {
            pending.append(end);
            reader.line(pending, false);
        }
        pending.clear();
        overlong = false;
    };
    for (;;) {
        const int count = ::gzread(file.get(), buffer.data(), unsigned(buffer.size()));
        // A compressed file cut short ends like a whole one, its error left as Z_BUF_ERROR.
        int zlibError = Z_OK;
        if (count <= 0)
            ::gzerror(file.get(), &zlibError);
        if (count < 0 || zlibError == Z_BUF_ERROR) {
            read.fatal = zlibError == Z_ERRNO
                ? readErrorText(path, errno, maxBytes)
                : QStringLiteral("%1 : lecture impossible (fichier compressé abîmé ou tronqué, "
                                 "après la ligne %2)")
                      .arg(quotedName(path))
                      .arg(reader.lineNumber());
            return read;
        }
        if (count == 0)
            break;
        total += count;
        if (total > maxBytes) {
            read.fatal = readErrorText(path, EFBIG, maxBytes);
            return read;
        }
        const char *data = buffer.constData();
        qsizetype start = 0;
        for (qsizetype i = 0; i < count; ++i) {
            // A line ends at LF, CR LF or CR.
            const char c = data[i];
            if (c == '\n' && afterCr) {
                afterCr = false;
                start = i + 1;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\n' || c == '\r') {
                endLine(QByteArrayView(data + start, i - start));
                start = i + 1;
            }
        }
        const QByteArrayView rest(data + start, count - start);
        overlong = overlong || pending.size() + rest.size() > maxLineBytes;
        if (overlong)
            pending.clear();
        else
            pending.append(rest);
    }
    if (!pending.isEmpty() || overlong)
        endLine({});
    reader.finish();
    return read;
}

namespace {

// A reading as compared: the pinyin in marks, decomposed, in lower case, each tone mark as its
// digit, without spaces, apostrophes or other marks between syllables. "Xi1 an1", "xī'ān" and
// "XĪĀN" give one key; "xian1" another.
QString readingKey(QStringView pinyin)
{
    const QString decomposed = numberedToMarked(pinyin).normalized(QString::NormalizationForm_D);
    static constexpr std::u16string_view toneMarks = u"\u0304\u0301\u030C\u0300";
    QString key;
    for (const QChar c : decomposed) {
        if (const std::size_t tone = toneMarks.find(c.unicode()); tone != toneMarks.npos)
            key.append(QChar(char16_t(u'1' + tone)));
        else if (c.isLetterOrNumber() || c == u'\u0308')
            key.append(c.toLower());
    }
    return key;
}

// The entries of one reading: its pinyin as the dictionary writes it, their senses once each.
struct Reading
{
    QString key;
    QString pinyin;
    QStringList senses;
};

QList<Reading> readingsOf(const QList<CedictEntry> &entries)
{
    QList<Reading> readings;
    for (const CedictEntry &entry : entries) {
        const QString key = readingKey(entry.pinyin);
        auto reading = std::find_if(readings.begin(), readings.end(),
                                    [&](const Reading &known) { return known.key == key; });
        if (reading == readings.end()) {
            readings.append({key, entry.pinyin, {}});
            reading = std::prev(readings.end());
        } else if (reading->pinyin != reading->pinyin.toLower()
                   && entry.pinyin == entry.pinyin.toLower()) {
            // Written as a common word's rather than a name's (zhang1, not Zhang1).
            reading->pinyin = entry.pinyin;
        }
        for (const QString &sense : entry.senses) {
            if (!reading->senses.contains(sense))
                reading->senses.append(sense);
        }
    }
    return readings;
}

// The entries for a word: those of the first dictionary that knows it, as simplified, then as
// traditional; with the learner's reading (key), only that reading's. known: the first entries
// found for the word, whatever their reading.
QList<CedictEntry> lookUp(const QString &word, const std::optional<QString> &key,
                          const QList<DictionaryWords> &dictionaries, QList<CedictEntry> &known)
{
    for (const DictionaryWords &dictionary : dictionaries) {
        for (const auto *table : {&dictionary.bySimplified, &dictionary.byTraditional}) {
            QList<CedictEntry> entries = table->value(word);
            if (entries.isEmpty())
                continue;
            if (known.isEmpty())
                known = entries;
            if (!key)
                return entries;
            QList<CedictEntry> matching;
            for (const CedictEntry &entry : entries) {
                if (readingKey(entry.pinyin) == *key)
                    matching.append(entry);
            }
            if (!matching.isEmpty())
                return matching;
        }
    }
    return {};
}

} // namespace

DictionaryFill fillEntries(QList<LessonEntry> &entries, const QList<ImportIssue> &origins,
                           const QList<DictionaryWords> &dictionaries, bool rawPinyin)
{
    DictionaryFill fill;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        LessonEntry &entry = entries[i];
        if (!entry.pinyin.isEmpty() && !entry.french.isEmpty())
            continue;
        const auto remark = [&](const QString &text) {
            fill.remarks.append({origins[i].file, origins[i].line,
                                 QStringLiteral("%1 : %2").arg(entry.chinese, text)});
        };
        std::optional<QString> key;
        if (!entry.pinyin.isEmpty())
            key = readingKey(entry.pinyin);
        QList<CedictEntry> known;
        const QList<Reading> readings = readingsOf(lookUp(entry.chinese, key, dictionaries, known));
        const auto shown = [&](const Reading &reading) {
            return lessonField(rawPinyin ? reading.pinyin : numberedToMarked(reading.pinyin));
        };
        const auto meaning = [](const Reading &reading) {
            return lessonField(reading.senses.join(QStringLiteral(" ; ")));
        };
        if (readings.size() == 1) {
            if (entry.pinyin.isEmpty())
                entry.pinyin = shown(readings[0]);
            if (entry.french.isEmpty())
                entry.french = meaning(readings[0]);
            ++fill.filled;
            continue;
        }
        QStringList pinyins;
        QStringList meanings;
        for (const Reading &reading : readings) {
            pinyins << shown(reading);
            meanings << pinyins.last() + QStringLiteral(" : ") + meaning(reading);
        }
        if (readings.size() > 1) {
            if (entry.pinyin.isEmpty())
                entry.pinyin = pinyins.join(QStringLiteral(" | "));
            if (entry.french.isEmpty())
                entry.french = meanings.join(QStringLiteral(" | "));
            ++fill.ambiguous;
            remark(QStringLiteral("plusieurs lectures (%1), toutes gardées : à trier")
                       .arg(pinyins.join(QStringLiteral(", "))));
        } else if (!known.isEmpty()) {
            for (const Reading &reading : readingsOf(known))
                pinyins << shown(reading);
            ++fill.unmatched;
            remark(QStringLiteral("le pinyin « %1 » n'est aucune des lectures du dictionnaire "
                                  "(%2) ; français laissé vide")
                       .arg(entry.pinyin, pinyins.join(QStringLiteral(", "))));
        } else {
            ++fill.unknown;
            remark(QStringLiteral("inconnu des dictionnaires ; champs vides laissés vides"));
        }
    }
    return fill;
}

DictionaryFill fillFromDictionaries(ImportResult &result, const QStringList &paths, bool rawPinyin)
{
    QSet<QByteArray> wanted;
    for (const LessonEntry &entry : std::as_const(result.entries)) {
        if (entry.pinyin.isEmpty() || entry.french.isEmpty())
            wanted.insert(entry.chinese.toUtf8());
    }
    QList<DictionaryWords> dictionaries;
    QList<ImportIssue> passedOver;
    for (const QString &path : paths) {
        DictionaryRead read = readDictionary(path, wanted);
        if (read.fatal) {
            result.fatal = read.fatal;
            return {};
        }
        dictionaries.append(std::move(read.words));
        passedOver += read.remarks;
    }
    DictionaryFill fill = fillEntries(result.entries, result.origins, dictionaries, rawPinyin);
    fill.remarks = passedOver + fill.remarks;
    return fill;
}

} // namespace lessontool
