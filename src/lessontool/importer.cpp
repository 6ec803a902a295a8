#include "lessontool/importer.h"

#include "lessontool/delimited_text.h"
#include "lessontool/field_text.h"
#include "lessontool/pinyin.h"
#include "lessontool/text_decoding.h"

#include <array>

namespace {

// Header names that spreadsheets and flashcard exports use for each field, compared without case
// and accents.
const std::array<QStringList, 3> &knownHeaderNames()
{
    static const std::array<QStringList, 3> names = {
        QStringList {QStringLiteral("chinois"), QStringLiteral("caracteres"),
                     QStringLiteral("hanzi"), QStringLiteral("sinogramme"),
                     QStringLiteral("sinogrammes"), QStringLiteral("chinese"),
                     QStringLiteral("simplified"), QStringLiteral("simplifie"),
                     QStringLiteral("characters"), QStringLiteral("mot"), QStringLiteral("word")},
        QStringList {QStringLiteral("pinyin"), QStringLiteral("prononciation"),
                     QStringLiteral("pronunciation"), QStringLiteral("reading")},
        QStringList {QStringLiteral("francais"), QStringLiteral("french"),
                     QStringLiteral("traduction"), QStringLiteral("sens"),
                     QStringLiteral("signification"), QStringLiteral("definition"),
                     QStringLiteral("meaning"), QStringLiteral("translation")},
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
    for (int field = 0; field < 3; ++field) {
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

// The 0-based source column of each field (-1: none), from the --colonnes choice and the header.
std::optional<QString> resolveColumns(const QStringList &choice, const QStringList &header,
                                      std::array<int, 3> &columns)
{
    columns = {0, 1, 2};
    if (choice.isEmpty()) {
        // Without a choice a header that names the fields orders them.
        std::array<int, 3> named = {-1, -1, -1};
        for (qsizetype i = 0; i < header.size(); ++i) {
            const int field = knownField(header[i]);
            if (field >= 0 && named[std::size_t(field)] < 0)
                named[std::size_t(field)] = int(i);
        }
        if (named[0] >= 0)
            columns = named;
        return std::nullopt;
    }
    columns = {-1, -1, -1};
    for (qsizetype field = 0; field < choice.size(); ++field) {
        const QString &item = choice[field];
        if (item.isEmpty())
            continue;
        bool number = false;
        const int value = item.toInt(&number);
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

QChar delimiterFor(QStringView text, const ImportOptions &options)
{
    if (options.delimiter)
        return *options.delimiter;
    // Flashcard exports may say it in a comment: "#separator:tab".
    const QString declared = folded(leadingDirective(text, u"separator"));
    if (declared == u"tab")
        return u'\t';
    if (declared == u"comma")
        return u',';
    if (declared == u"semicolon")
        return u';';
    return detectDelimiter(text);
}

QString cleaned(const QString &cell)
{
    return lessonField(htmlToText(cell));
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

} // namespace

std::optional<QStringList> parseColumnChoice(const QString &choice)
{
    QStringList items = choice.split(u',');
    for (QString &item : items)
        item = item.trimmed();
    if (items.size() > 3 || items.value(0).isEmpty())
        return std::nullopt;
    return items;
}

void importBytes(const QString &file, QByteArrayView bytes, const ImportOptions &options,
                 ImportResult &result)
{
    const DecodedText decoded = decodeText(bytes);
    if (!decoded.ok) {
        result.fatal = decodingError(file, decoded);
        return;
    }
    const QStringView text = decoded.text;
    const QList<Record> records = parseDelimited(text, delimiterFor(text, options));
    const qsizetype comments = leadingCommentLines(text);

    qsizetype first = 0;
    while (first < records.size() && records[first].line <= comments)
        ++first;
    QStringList header;
    if (first < records.size()) {
        const bool isHeader = options.header.value_or(looksLikeHeader(records[first].fields));
        if (isHeader)
            header = records[first++].fields;
    }
    std::array<int, 3> columns;
    if (const std::optional<QString> error = resolveColumns(options.columns, header, columns)) {
        result.fatal = QStringLiteral("%1 : %2").arg(quotedName(file), *error);
        return;
    }
    int needed = 0;
    for (int column : columns)
        needed = std::max(needed, column + 1);

    result.entries.reserve(result.entries.size() + records.size() - first);
    for (qsizetype i = first; i < records.size(); ++i) {
        const Record &record = records[i];
        const auto skip = [&](const QString &why) {
            result.skipped.append({file, record.line, why});
        };
        if (record.unterminatedQuote) {
            skip(QStringLiteral("guillemet ouvert jamais fermé"));
            continue;
        }
        if (isBlank(record.fields))
            continue;
        if (record.fields.size() < needed) {
            skip(QStringLiteral("%1 champ(s), %2 attendus").arg(record.fields.size()).arg(needed));
            continue;
        }
        std::array<QString, 3> fields;
        for (std::size_t field = 0; field < 3; ++field) {
            if (columns[field] >= 0)
                fields[field] = cleaned(record.fields[columns[field]]);
        }
        if (fields[0].isEmpty()) {
            skip(QStringLiteral("pas de champ chinois"));
            continue;
        }
        if (!options.rawPinyin)
            fields[1] = numberedToMarked(fields[1]);
        result.entries.append({fields[0], fields[1], fields[2]});
    }
}

ImportResult importFiles(const QStringList &sources, const ImportOptions &options)
{
    ImportResult result;
    for (const QString &source : sources) {
        const platform::FileResult<QByteArray> bytes = readWholeFile(source);
        if (!bytes.ok()) {
            result.fatal = bytes.error().message;
            break;
        }
        importBytes(source, bytes.value(), options, result);
        if (result.fatal)
            break;
    }
    return result;
}
