#include "lessontool/commands.h"

#include "lessontool/dictionary.h"
#include "lessontool/exporter.h"
#include "lessontool/file_names.h"
#include "lessontool/importer.h"
#include "lessontool/lesson_check.h"
#include "lessontool/lesson_file.h"
#include "version.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstdio>

namespace lessontool {

namespace {

constexpr int exitDone = 0;
constexpr int exitPartial = 1;
constexpr int exitFailed = 2;

const QString programName = QStringLiteral("hanlexo-lesson");

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

/// Text echoed in a message (an argument, a list's words), its odd bytes and control characters
/// made visible.
QString shown(const QString &text)
{
    return file_names::visible(text);
}

int fail(const QString &message)
{
    print(stderr, QStringLiteral("%1 : %2\n").arg(programName, message));
    return exitFailed;
}

const QString generalHelp = QStringLiteral(
    "Usage : hanlexo-lesson COMMANDE [OPTIONS] FICHIER...\n"
    "Crée, vérifie et exporte les fichiers de leçon de Hanlexo - vocab.\n"
    "\n"
    "Commandes :\n"
    "  import SOURCE... -o LEÇON.txt   crée une leçon à partir de listes CSV, TSV ou texte\n"
    "  verifier LEÇON.txt...           dit ce que le programme fera de chaque leçon\n"
    "  exporter LEÇON.txt [-o FICHIER] écrit les entrées en texte UTF-8 séparé par des "
    "tabulations\n"
    "\n"
    "Options :\n"
    "  -h, --help      affiche cette aide (hanlexo-lesson COMMANDE --help : celle de la "
    "commande)\n"
    "  -v, --version   affiche la version\n"
    "\n"
    "État de sortie : 0 fait ; 1 fait, mais des lignes ont été écartées ou une leçon ne\n"
    "se charge pas entièrement ; 2 rien n'a été fait.\n");

const QString importHelp = QStringLiteral(
    "Usage : hanlexo-lesson import SOURCE... -o LEÇON.txt [OPTIONS]\n"
    "Lit des listes de mots (UTF-8 avec ou sans BOM, UTF-16 LE ou BE avec BOM), une entrée\n"
    "par ligne, ou des dictionnaires au format CEDICT, et écrit une leçon : UTF-16 LE avec BOM,\n"
    "champs séparés par TAB, lignes terminées par CR LF. Les sources sont lues dans l'ordre.\n"
    "\n"
    "Options :\n"
    "  -o, --sortie LEÇON.txt    la leçon à écrire (un fichier ; - n'est pas accepté)\n"
    "  --remplacer               remplace la leçon si elle existe déjà (propriétaire, groupe\n"
    "                            et droits gardés ; un lien symbolique est suivi)\n"
    "  --separateur SÉP          tab, virgule ou point-virgule (par défaut : déclaré par\n"
    "                            #separator:, sinon détecté sur les 20 premières lignes)\n"
    "  --colonnes LISTE          colonnes du chinois, du pinyin et du français, par numéro\n"
    "                            ou par nom d'en-tête : 2,3,1, hanzi,pinyin,sens, 1,,2 (pas\n"
    "                            de pinyin) ; par défaut, celles que l'en-tête nomme, les\n"
    "                            autres par position parmi les colonnes qui restent (dit)\n"
    "  --entete                  la première ligne est un en-tête (reconnu sinon à ses noms :\n"
    "                            Chinois, Hanzi, Pinyin, Français, English, Sens, Meaning...)\n"
    "  --pinyin-brut             garde le pinyin tel qu'il est écrit (ni3 hao3 reste ni3 hao3)\n"
    "  --dictionnaire DICT       remplit le pinyin et le français laissés vides à partir d'un\n"
    "                            dictionnaire au format CEDICT (CFDICT, CC-CEDICT, HanDeDict),\n"
    "                            texte UTF-8 ou compressé par gzip (.gz) ; répétable : le\n"
    "                            premier qui connaît le mot l'emporte. Une ligne peut alors ne\n"
    "                            donner que le chinois\n"
    "\n"
    "Lignes # du début : commentaires ; #separator:, #html:true|false, #columns:,\n"
    "#notetype column:N, #deck column:N, #tags column:N, #guid column:N y sont suivies (les\n"
    "colonnes de type de note, de paquet, d'étiquettes et d'identifiant sont laissées).\n"
    "Guillemets : RFC 4180 avec la virgule ou le point-virgule ; avec TAB, un champ n'est entre\n"
    "guillemets que s'il commence par \" et que son guillemet fermant est suivi d'une TAB ou\n"
    "de la fin de ligne ; tout autre guillemet est du texte.\n"
    "HTML : réduit au texte avec #html:true ; sans marque, seuls <b> <i> <u> <br> <div>\n"
    "<span ...> &nbsp; &amp; &lt; &gt; &quot; le sont ; avec #html:false, rien. Un <br> ou\n"
    "un </div> entre deux textes devient « ; ».\n"
    "Pinyin : ni3 hao3 → nǐ hǎo, lv4 et lu:4 → lǜ, Xi1an1 → Xī'ān, m2 → ḿ, r5 → r.\n"
    "Dictionnaire CEDICT (傳統 传统 [chuan2 tong3] /tradition/coutume/) : le simplifié, le\n"
    "pinyin accentué, les sens joints par « ; ».\n"
    "Les lignes sans chinois ou avec trop peu de champs sont signalées et écartées.\n"
    "\n"
    "Avec --dictionnaire, le mot est cherché en simplifié, puis en traditionnel (la leçon garde\n"
    "ce que la liste écrit) ; un champ écrit n'est jamais remplacé. Un pinyin écrit choisit la\n"
    "lecture (accents ou chiffres ; espaces et majuscules indifférents, tons comptés) ; sans\n"
    "pinyin, un mot à plusieurs lectures les garde toutes (háng | xíng et háng : ... | xíng : "
    "...)\n"
    "et la ligne est signalée, comme un mot inconnu ou un pinyin qu'aucune lecture n'a.\n"
    "Le résumé compte les entrées complétées, ambiguës, inconnues et au pinyin sans\n"
    "correspondance.\n");

const QString verifyHelp = QStringLiteral(
    "Usage : hanlexo-lesson verifier LEÇON.txt...\n"
    "Dit, pour chaque fichier, ce que le programme en fera : listé ou non (et pourquoi), le\n"
    "nombre d'entrées, les champs manquants (affichés \" \"), les lignes de plus de trois\n"
    "champs, les textes chinois en double, et si le mode Test peut l'utiliser seule (au moins\n"
    "6 textes chinois différents).\n"
    "État de sortie 0 seulement quand chaque fichier est listé et se charge entièrement.\n");

const QString exportHelp = QStringLiteral(
    "Usage : hanlexo-lesson exporter LEÇON.txt [-o FICHIER] [OPTIONS]\n"
    "Écrit les entrées de la leçon en texte UTF-8, un champ par colonne séparée par TAB, sur\n"
    "la sortie standard ou dans FICHIER ; « import » le relit à l'identique (un champ avec un\n"
    "guillemet ou qui commence par # est entre guillemets ; une première ligne #html:false\n"
    "quand un champ contient < ou & ; l'en-tête quand la première entrée en a l'air).\n"
    "\n"
    "Options :\n"
    "  -o, --sortie FICHIER      le fichier à écrire (par défaut, ou avec - : la sortie\n"
    "                            standard)\n"
    "  --remplacer               remplace le fichier s'il existe déjà\n"
    "  --entete                  écrit d'abord la ligne chinois, pinyin, français\n");

// Parses the command's arguments; an error message when they are wrong.
std::optional<QString> parse(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (parser.parse(arguments))
        return std::nullopt;
    if (!parser.unknownOptionNames().isEmpty())
        return QStringLiteral("option inconnue : %1 (--help pour l'aide)")
            .arg(shown(parser.unknownOptionNames().constFirst()));
    return QStringLiteral("une option attend une valeur (--help pour l'aide)");
}

// Parses a command's arguments and answers --help; an exit status when that is all there is to do.
std::optional<int> parseCommand(QCommandLineParser &parser, const QStringList &arguments,
                                const QString &help)
{
    if (const std::optional<QString> error = parse(parser, arguments))
        return fail(*error);
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, help);
        return exitDone;
    }
    return std::nullopt;
}

/// Where the import command puts what it finds: the entries into the lesson being written, the
/// remarks and the lines passed over on standard error, each as it comes.
class LessonOutput : public ImportSink
{
public:
    void addEntry(const LessonEntry &entry, const ImportIssue & /*origin*/) override
    {
        ++entries;
        if (writer && writeError == 0)
            writeError = writer->add(entry);
    }
    void passOver(const ImportIssue &issue) override
    {
        ++skipped;
        tell(issue, QStringLiteral(" ; ligne écartée"));
    }
    void remark(const ImportIssue &issue) override { tell(issue, QString()); }

    LessonWriter *writer = nullptr;
    qsizetype entries = 0;
    qsizetype skipped = 0;
    int writeError = 0;

private:
    static void tell(const ImportIssue &issue, const QString &outcome)
    {
        const QString where = issue.line > 0
            ? QStringLiteral("%1, ligne %2").arg(quotedName(issue.file)).arg(issue.line)
            : quotedName(issue.file);
        print(stderr, QStringLiteral("%1 : %2%3\n").arg(where, shown(issue.message), outcome));
    }
};

const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("sortie")}, QString(),
                                      QStringLiteral("fichier"));
const QCommandLineOption replaceOption(QStringLiteral("remplacer"), QString());
const QCommandLineOption headerOption(QStringLiteral("entete"), QString());

int importCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption delimiterOption(QStringLiteral("separateur"), QString(),
                                             QStringLiteral("sep"));
    const QCommandLineOption columnsOption(QStringLiteral("colonnes"), QString(),
                                           QStringLiteral("liste"));
    const QCommandLineOption rawOption(QStringLiteral("pinyin-brut"), QString());
    const QCommandLineOption dictionaryOption(QStringLiteral("dictionnaire"), QString(),
                                              QStringLiteral("dict"));
    parser.addOptions({outputOption, replaceOption, headerOption, delimiterOption, columnsOption,
                       rawOption, dictionaryOption});
    if (const std::optional<int> status = parseCommand(parser, arguments, importHelp))
        return *status;
    const QStringList sources = parser.positionalArguments().mid(1);
    if (sources.isEmpty())
        return fail(QStringLiteral("import : aucune source (--help pour l'aide)"));
    if (!parser.isSet(outputOption))
        return fail(QStringLiteral("import : -o LEÇON.txt manque (--help pour l'aide)"));
    const QString output = parser.value(outputOption);
    if (output == u"-")
        return fail(QStringLiteral("import : -o - : une leçon s'écrit dans un fichier, pas sur la "
                                   "sortie standard"));

    const QStringList dictionaries = parser.values(dictionaryOption);
    ImportOptions options;
    options.rawPinyin = parser.isSet(rawOption);
    options.shortLinesKept = !dictionaries.isEmpty();
    if (parser.isSet(headerOption))
        options.header = true;
    if (parser.isSet(delimiterOption)) {
        const QString value = parser.value(delimiterOption);
        if (value == u"tab" || value == u"\t")
            options.delimiter = u'\t';
        else if (value == u"virgule" || value == u",")
            options.delimiter = u',';
        else if (value == u"point-virgule" || value == u";")
            options.delimiter = u';';
        else
            return fail(QStringLiteral("séparateur « %1 » inconnu : tab, virgule ou point-virgule")
                            .arg(shown(value)));
    }
    if (parser.isSet(columnsOption)) {
        const std::optional<QStringList> columns = parseColumnChoice(parser.value(columnsOption));
        if (!columns)
            return fail(QStringLiteral("--colonnes « %1 » : une à trois colonnes, la première "
                                       "(le chinois) non vide")
                            .arg(shown(parser.value(columnsOption))));
        options.columns = *columns;
    }

    // Without a dictionary the lesson is written as it is read: entries go straight into the
    // replacement's temporary, remarks and lines passed over to standard error. A dictionary
    // needs the list's words first; a list of words to look up is held whole.
    LessonOutput lesson;
    ImportResult collected;
    DictionaryFill fill;
    const bool filling = !dictionaries.isEmpty();
    if (filling) {
        importFiles(sources, options, collected);
        if (!collected.fatal)
            fill = fillFromDictionaries(collected, dictionaries, options.rawPinyin);
        if (collected.fatal)
            return fail(shown(*collected.fatal) + QStringLiteral(" ; rien n'a été écrit"));
        for (const ImportIssue &issue : std::as_const(collected.notes))
            lesson.remark(issue);
        for (const ImportIssue &issue : std::as_const(collected.skipped))
            lesson.passOver(issue);
        for (const ImportIssue &issue : std::as_const(fill.remarks))
            lesson.remark(issue);
    }
    const platform::FileResult<> written = writeOutputFile(
        output,
        [&](const platform::ContentSink &sink) {
            LessonWriter writer(sink);
            lesson.writer = &writer;
            if (filling) {
                for (qsizetype i = 0; i < collected.entries.size(); ++i)
                    lesson.addEntry(collected.entries[i], collected.origins[i]);
            } else {
                importFiles(sources, options, lesson);
            }
            lesson.writer = nullptr;
            if (lesson.fatal || lesson.entries == 0)
                return ECANCELED; // nothing to write: the old file stays
            return lesson.writeError != 0 ? lesson.writeError : writer.finish();
        },
        parser.isSet(replaceOption));
    if (lesson.fatal)
        return fail(shown(*lesson.fatal) + QStringLiteral(" ; rien n'a été écrit"));
    if (written.ok() || written.error().code == ECANCELED) {
        if (lesson.entries == 0)
            return fail(QStringLiteral("aucune entrée à écrire ; rien n'a été écrit (--colonnes, "
                                       "--separateur ?)"));
    }
    if (!written.ok() && written.error().code == ENOMEM)
        return fail(QStringLiteral("mémoire insuffisante ; rien n'a été écrit"));
    if (!written.ok())
        return fail(written.error().message);
    print(stdout,
          QStringLiteral("%1 : %2 entrée(s) écrite(s)%3%4\n")
              .arg(quotedName(output))
              .arg(lesson.entries)
              .arg(lesson.skipped == 0
                       ? QString()
                       : QStringLiteral(", %1 ligne(s) écartée(s)").arg(lesson.skipped),
                   !filling ? QString()
                            : QStringLiteral(" ; dictionnaire : %1 complétée(s), %2 ambiguë(s), %3 "
                                             "inconnue(s), %4 au pinyin sans correspondance")
                                  .arg(fill.filled)
                                  .arg(fill.ambiguous)
                                  .arg(fill.unknown)
                                  .arg(fill.unmatched)));
    return lesson.skipped == 0 ? exitDone : exitPartial;
}

int verifyCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> status = parseCommand(parser, arguments, verifyHelp))
        return *status;
    const QStringList lessons = parser.positionalArguments().mid(1);
    if (lessons.isEmpty())
        return fail(QStringLiteral("verifier : aucune leçon (--help pour l'aide)"));
    bool allOk = true;
    for (const QString &lesson : lessons) {
        const LessonCheck check = checkLesson(lesson);
        allOk = allOk && check.ok();
        print(stdout, checkReport(check));
    }
    return allOk ? exitDone : exitPartial;
}

int exportCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({outputOption, replaceOption, headerOption});
    if (const std::optional<int> status = parseCommand(parser, arguments, exportHelp))
        return *status;
    const QStringList lessons = parser.positionalArguments().mid(1);
    if (lessons.size() != 1)
        return fail(QStringLiteral("exporter : une leçon, et une seule (--help pour l'aide)"));
    QList<LessonEntry> entries;
    if (const std::optional<QString> error = readLessonEntries(lessons.constFirst(), entries))
        return fail(*error);
    const QByteArray text = exportText(entries, parser.isSet(headerOption));
    if (!parser.isSet(outputOption) || parser.value(outputOption) == u"-") {
        if (std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout)
                != std::size_t(text.size())
            || std::fflush(stdout) != 0)
            return fail(QStringLiteral("sortie standard : écriture impossible"));
        return exitDone;
    }
    if (const platform::FileResult<> written
        = writeOutputFile(parser.value(outputOption), text, parser.isSet(replaceOption));
        !written.ok())
        return fail(written.error().message);
    return exitDone;
}

int runCommand(const QStringList &arguments)
{
    // Only the options before the command are the tool's own; the command parses the rest.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QString());
    parser.addOption(versionOption);
    if (const std::optional<QString> error = parse(parser, arguments))
        return fail(*error);
    if (parser.isSet(versionOption)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(programName, QStringLiteral(HANLEXO_VERSION)));
        return exitDone;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, generalHelp);
        return exitDone;
    }
    const QString command = parser.positionalArguments().value(0);
    if (command == u"import")
        return importCommand(arguments);
    if (command == u"verifier" || command == u"vérifier")
        return verifyCommand(arguments);
    if (command == u"exporter")
        return exportCommand(arguments);
    if (command.isEmpty()) {
        print(stderr, generalHelp);
        return exitFailed;
    }
    return fail(QStringLiteral("commande « %1 » inconnue : import, verifier ou exporter (--help "
                               "pour l'aide)")
                    .arg(shown(command)));
}

} // namespace

int runLessonTool(const QStringList &arguments)
{
    const int status = runCommand(arguments);
    // What could not reach standard output (a full disk, a closed pipe) is a failure, not a
    // success that printed nothing.
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if ((flushed && std::ferror(stdout) == 0) || status == exitFailed)
        return status;
    return fail(flushed ? QStringLiteral("sortie standard : écriture impossible")
                        : QStringLiteral("sortie standard : écriture impossible (%1)")
                              .arg(writeErrorText(error)));
}

} // namespace lessontool
