#include "lessontool/importer.h"

#include "lessontool/cedict.h"
#include "lessontool/delimited_text.h"
#include "lessontool/field_text.h"
#include "lessontool/pinyin.h"
#include "lessontool/text_decoding.h"

#include <algorithm>
#include <array>
#include <limits>

namespace lessontool {

namespace {

constexpr int fieldCount = 3;
const std::array<QString, fieldCount> fieldNames
    = {QStringLiteral("chinois"), QStringLiteral("pinyin"), QStringLiteral("français")};

// Header names that spreadsheets and flashcard exports use for each field, in French and English,
// compared without case and accents.
const std::array<QStringList, fieldCount> &knownHeaderNames()
{
    static const std::array<QStringList, fieldCount> names = {
        QStringList {
            QStringLiteral("chinois"), QStringLiteral("caracteres"), QStringLiteral("caractere"),
            QStringLiteral("hanzi"), QStringLiteral("sinogramme"), QStringLiteral("sinogrammes"),
            QStringLiteral("chinese"), QStringLiteral("simplified"), QStringLiteral("simplifie"),
            QStringLiteral("simplifies"), QStringLiteral("characters"), QStringLiteral("character"),
            QStringLiteral("mot"), QStringLiteral("word"), QStringLiteral("expression")},
        QStringList {QStringLiteral("pinyin"), QStringLiteral("prononciation"),
                     QStringLiteral("pronunciation"), QStringLiteral("reading"),
                     QStringLiteral("lecture")},
        QStringList {
            QStringLiteral("francais"), QStringLiteral("french"), QStringLiteral("anglais"),
            QStringLiteral("english"), QStringLiteral("traduction"), QStringLiteral("traductions"),
            QStringLiteral("translation"), QStringLiteral("translations"), QStringLiteral("sens"),
            QStringLiteral("signification"), QStringLiteral("significations"),
            QStringLiteral("definition"), QStringLiteral("definitions"), QStringLiteral("meaning"),
            QStringLiteral("meanings"), QStringLiteral("glose"), QStringLiteral("gloss")},
    };
    return names;
}

// Lower case without accents, for comparing names.
QString folded(QStringView text)
{
    const QString decomposed = text.trimmed().toString().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c.toLower());
    }
    return out;
}

// The field (0 to 2) a header cell names, or -1.
int knownField(QStringView cell)
{
    const QString name = folded(cell);
    for (int field = 0; field < fieldCount; ++field) {
        if (knownHeaderNames()[std::size_t(field)].contains(name))
            return field;
    }
    return -1;
}

bool holdsHan(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::script(c) == QChar::Script_Han)
            return true;
    }
    return false;
}

// What a source's leading directives say about it.
struct Layout
{
    std::optional<QChar> delimiter;
    FieldMarkup markup = FieldMarkup::Recognised;
    QList<int> directiveColumns; ///< 0-based: note type, deck, tags, identifier
    std::optional<Directive> columnNames; ///< "#columns:"
};

// The delimiter a "#separator:" value names, as flashcard programs write it, or as --separateur
// takes it.
std::optional<QChar> namedSeparator(const QString &value)
{
    static const std::array<std::pair<QStringView, QChar>, 9> names = {{
        {u"tab", u'\t'},
        {u"comma", u','},
        {u"virgule", u','},
        {u"semicolon", u';'},
        {u"point-virgule", u';'},
        {u"space", u' '},
        {u"pipe", u'|'},
        {u"colon", u':'},
        {u"deux-points", u':'},
    }};
    const QString name = folded(value);
    for (const auto &[known, delimiter] : names) {
        if (name == known)
            return delimiter;
    }
    if (value.size() == 1 && QStringView(u"\t,; |:").contains(value[0]))
        return value[0];
    return std::nullopt;
}

// Reads the directives into layout; an error text when one cannot be followed.
std::optional<QString> readDirectives(const QList<Directive> &directives, Layout &layout)
{
    static const QStringList columnKeys
        = {QStringLiteral("notetype column"), QStringLiteral("deck column"),
           QStringLiteral("tags column"), QStringLiteral("guid column")};
    for (const Directive &directive : directives) {
        const auto refuse = [&](const QString &why) {
            return QStringLiteral("ligne %1 : « #%2:%3 » : %4")
                .arg(directive.line)
                .arg(directive.key, directive.value, why);
        };
        if (directive.key == u"separator") {
            layout.delimiter = namedSeparator(directive.value);
            if (!layout.delimiter)
                return refuse(QStringLiteral("séparateur inconnu (tab, comma, semicolon, space, "
                                             "pipe ou colon)"));
        } else if (directive.key == u"html") {
            const QString value = folded(directive.value);
            if (value == u"true")
                layout.markup = FieldMarkup::Html;
            else if (value == u"false")
                layout.markup = FieldMarkup::Text;
            else
                return refuse(QStringLiteral("valeur inconnue (true ou false)"));
        } else if (columnKeys.contains(directive.key)) {
            bool number = false;
            const int column = directive.value.toInt(&number);
            if (!number || column < 1)
                return refuse(QStringLiteral("numéro de colonne invalide (à partir de 1)"));
            layout.directiveColumns.append(column - 1);
        } else if (directive.key == u"columns") {
            layout.columnNames = directive;
        }
    }
    return std::nullopt;
}

// Whether text is a decimal number, sign included.
bool isDecimal(QStringView text)
{
    if (text.startsWith(u'+') || text.startsWith(u'-'))
        text = text.sliced(1);
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The 0-based source column of each field (-1: none), from the --colonnes choice, or from the
// header and, for the fields it does not name, by position among the columns left; a remark for
// each field taken by position when there is a header.
std::optional<QString> resolveColumns(const QStringList &choice, const QStringList &header,
                                      const QList<int> &directiveColumns,
                                      std::array<int, fieldCount> &columns, QStringList &remarks)
{
    columns = {-1, -1, -1};
    if (!choice.isEmpty()) {
        for (qsizetype field = 0; field < choice.size(); ++field) {
            const QString &item = choice[field];
            if (item.isEmpty())
                continue;
            bool number = false;
            const int value = item.toInt(&number);
            // A number too large for a column count is still a number, not a header's name.
            if (!number && isDecimal(item))
                return QStringLiteral(
                           "colonne %1 hors limites : les colonnes se comptent de 1 à %2")
                    .arg(item)
                    .arg(std::numeric_limits<int>::max());
            if (number) {
                if (value < 1)
                    return QStringLiteral(
                               "colonne %1 invalide : les colonnes se comptent à partir de 1")
                        .arg(item);
                columns[std::size_t(field)] = value - 1;
                continue;
            }
            const QString name = folded(item);
            qsizetype found = -1;
            for (qsizetype i = 0; i < header.size() && found < 0; ++i) {
                if (folded(header[i]) == name)
                    found = i;
            }
            if (found < 0)
                return header.isEmpty()
                    ? QStringLiteral("colonne « %1 » : pas de ligne d'en-tête pour la trouver")
                          .arg(item)
                    : QStringLiteral("colonne « %1 » absente de l'en-tête (%2)")
                          .arg(item, header.join(QStringLiteral(", ")));
            columns[std::size_t(field)] = int(found);
        }
        return std::nullopt;
    }

    QList<bool> taken(header.size());
    const auto isTaken = [&](int column) {
        return directiveColumns.contains(column) || (column < taken.size() && taken[column]);
    };
    for (qsizetype i = 0; i < header.size(); ++i) {
        const int field = directiveColumns.contains(int(i)) ? -1 : knownField(header[i]);
        if (field >= 0 && columns[std::size_t(field)] < 0) {
            columns[std::size_t(field)] = int(i);
            taken[i] = true;
        }
    }
    int next = 0;
    for (std::size_t field = 0; field < columns.size(); ++field) {
        if (columns[field] >= 0)
            continue;
        while (isTaken(next))
            ++next;
        if (!header.isEmpty() && next >= header.size()) {
            remarks << QStringLiteral("l'en-tête ne nomme pas de colonne pour le %1 et n'en a "
                                      "plus d'autre : champ laissé vide")
                           .arg(fieldNames[field]);
            continue;
        }
        columns[field] = next;
        if (!header.isEmpty())
            remarks << QStringLiteral("l'en-tête ne nomme pas le %1 : pris dans la colonne %2 "
                                      "(« %3 »), la première qui reste")
                           .arg(fieldNames[field])
                           .arg(next + 1)
                           .arg(header[next]);
        ++next;
    }
    return std::nullopt;
}

QString cleaned(const QString &cell, FieldMarkup markup)
{
    return lessonField(htmlToText(cell, markup));
}

bool isBlank(const QStringList &cells)
{
    for (const QString &cell : cells) {
        if (!cell.trimmed().isEmpty())
            return false;
    }
    return true;
}

QString decodingError(const QString &file, const DecodedText &decoded)
{
    return QStringLiteral("%1 : ligne %2, octet %3 : %4. Encodages lus : UTF-8 (avec ou sans "
                          "BOM), UTF-16 LE ou BE avec BOM")
        .arg(quotedName(file))
        .arg(decoded.errorLine)
        .arg(decoded.errorByte)
        .arg(decoded.errorReason);
}

// Visits the lines of text (without their ends) from the 1-based firstLine on, with their numbers,
// while visit returns true.
template<typename Visit> void forEachLine(QStringView text, qsizetype firstLine, Visit visit)
{
    qsizetype line = 1;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        if (line >= firstLine && !visit(text.sliced(start, end - start), line))
            return;
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size()
            && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
        ++line;
    }
}

// Whether the first line after the comments and blank lines is a dictionary line.
bool startsAsCedict(QStringView text)
{
    bool cedict = false;
    forEachLine(text, leadingCommentLines(text) + 1, [&](QStringView line, qsizetype) {
        if (line.trimmed().isEmpty())
            return true;
        cedict = parseCedictLine(line).has_value();
        return false;
    });
    return cedict;
}

void importCedict(const QString &file, QStringView text, const ImportOptions &options,
                  ImportSink &result)
{
    forEachLine(text, leadingCommentLines(text) + 1, [&](QStringView line, qsizetype number) {
        if (line.trimmed().isEmpty())
            return true;
        if (const std::optional<CedictEntry> entry = parseCedictLine(line))
            result.addEntry(cedictLessonEntry(*entry, options.rawPinyin), {file, number, {}});
        else
            result.passOver({file, number, cedictFormatText()});
        return true;
    });
}

} // namespace

bool looksLikeHeader(const QStringList &cells)
{
    bool named = false;
    for (const QString &cell : cells) {
        if (holdsHan(cell))
            return false;
        named = named || knownField(cell) >= 0;
    }
    return named;
}

std::optional<QStringList> parseColumnChoice(const QString &choice)
{
    QStringList items = choice.split(u',');
    for (QString &item : items)
        item = item.trimmed();
    if (items.size() > 3 || items.value(0).isEmpty())
        return std::nullopt;
    return items;
}

namespace {

// Adds the entries of one list's decoded text.
void importText(const QString &file, QStringView text, const ImportOptions &options,
                ImportSink &result)
{
    Layout layout;
    if (const std::optional<QString> error = readDirectives(leadingDirectives(text), layout)) {
        result.fatal = QStringLiteral("%1, %2").arg(quotedName(file), *error);
        return;
    }
    if (!options.delimiter && !layout.delimiter && startsAsCedict(text)) {
        if (!options.columns.isEmpty() || options.header.value_or(false)) {
            result.fatal = QStringLiteral("%1 : dictionnaire au format CEDICT, où --colonnes et "
                                          "--entete ne s'appliquent pas")
                               .arg(quotedName(file));
            return;
        }
        importCedict(file, text, options, result);
        return;
    }
    const QChar delimiter = options.delimiter ? *options.delimiter
        : layout.delimiter                    ? *layout.delimiter
                                              : detectDelimiter(text);
    RecordReader records(text, delimiter);
    const qsizetype comments = leadingCommentLines(text);

    Record record;
    bool more = records.next(record);
    while (more && record.line <= comments)
        more = records.next(record);
    QStringList header;
    qsizetype headerLine = 0;
    if (more && options.header.value_or(!layout.columnNames && looksLikeHeader(record.fields))) {
        headerLine = record.line;
        header = record.fields;
        more = records.next(record);
    } else if (layout.columnNames) {
        headerLine = layout.columnNames->line;
        header = layout.columnNames->value.split(delimiter);
    }
    std::array<int, fieldCount> columns;
    QStringList remarks;
    if (const std::optional<QString> error
        = resolveColumns(options.columns, header, layout.directiveColumns, columns, remarks)) {
        result.fatal = QStringLiteral("%1 : %2").arg(quotedName(file), *error);
        return;
    }
    for (const QString &remark : std::as_const(remarks))
        result.remark({file, headerLine, remark});
    int needed = 0;
    for (int column : columns)
        needed = std::max(needed, column + 1);

    for (; more; more = records.next(record)) {
        const auto skip = [&](const QString &why) { result.passOver({file, record.line, why}); };
        if (record.unterminatedQuote) {
            skip(QStringLiteral("guillemet ouvert jamais fermé : tout ce qui le suit jusqu'à la "
                                "fin du fichier est écarté"));
            continue;
        }
        if (isBlank(record.fields))
            continue;
        if (record.fields.size() < needed && !options.shortLinesKept) {
            skip(QStringLiteral("%1 champ(s), %2 attendus").arg(record.fields.size()).arg(needed));
            continue;
        }
        std::array<QString, fieldCount> fields;
        for (std::size_t field = 0; field < fields.size(); ++field) {
            if (columns[field] >= 0 && columns[field] < record.fields.size())
                fields[field] = cleaned(record.fields[columns[field]], layout.markup);
        }
        if (fields[0].isEmpty()) {
            skip(QStringLiteral("pas de champ chinois"));
            continue;
        }
        if (!options.rawPinyin)
            fields[1] = numberedToMarked(fields[1]);
        result.addEntry({fields[0], fields[1], fields[2]}, {file, record.line, {}});
    }
}

} // namespace

void importBytes(const QString &file, QByteArrayView bytes, const ImportOptions &options,
                 ImportSink &result)
{
    const DecodedText decoded = decodeText(bytes);
    if (!decoded.ok) {
        result.fatal = decodingError(file, decoded);
        return;
    }
    importText(file, decoded.text, options, result);
}

void importFiles(const QStringList &sources, const ImportOptions &options, ImportSink &result,
                 qsizetype maxBytes)
{
    for (const QString &source : sources) {
        QByteArray bytes;
        {
            const platform::FileResult<QByteArray> read = readWholeFile(source, maxBytes);
            if (!read.ok()) {
                result.fatal = read.error().message;
                return;
            }
            bytes = read.value();
        }
        DecodedText decoded = decodeText(bytes);
        // The bytes go as soon as they are text: a list is held once, not twice, while it is
        // read.
        bytes = QByteArray();
        if (!decoded.ok) {
            result.fatal = decodingError(source, decoded);
            return;
        }
        importText(source, decoded.text, options, result);
        if (result.fatal)
            return;
    }
}

ImportResult importFiles(const QStringList &sources, const ImportOptions &options)
{
    ImportResult result;
    importFiles(sources, options, result);
    return result;
}

} // namespace lessontool
