#include "lessontool/commands.h"

#include "lessontool/exporter.h"
#include "lessontool/importer.h"
#include "lessontool/lesson_check.h"
#include "lessontool/lesson_file.h"
#include "version.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

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
    "par ligne, et écrit une leçon : UTF-16 LE avec BOM, champs séparés par TAB, lignes\n"
    "terminées par CR LF. Les sources sont lues dans l'ordre donné.\n"
    "\n"
    "Options :\n"
    "  -o, --sortie LEÇON.txt    la leçon à écrire\n"
    "  --remplacer               remplace la leçon si elle existe déjà\n"
    "  --separateur SÉP          tab, virgule ou point-virgule (par défaut : détecté)\n"
    "  --colonnes LISTE          colonnes du chinois, du pinyin et du français, par numéro\n"
    "                            ou par nom d'en-tête : 1,2,3 (défaut), 2,3,1, hanzi,pinyin,sens,\n"
    "                            1,,2 (pas de pinyin)\n"
    "  --entete                  la première ligne est un en-tête (reconnu sinon à ses noms)\n"
    "  --pinyin-brut             garde le pinyin tel qu'il est écrit (ni3 hao3 reste ni3 hao3)\n"
    "\n"
    "Les lignes du début qui commencent par # sont passées ; les guillemets suivent la RFC 4180 ;\n"
    "le HTML simple des champs est réduit au texte ; les tons en chiffres deviennent des accents.\n"
    "Les lignes sans chinois ou avec trop peu de champs sont signalées et écartées.\n");

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
    "la sortie standard ou dans FICHIER ; « import » le relit à l'identique.\n"
    "\n"
    "Options :\n"
    "  -o, --sortie FICHIER      le fichier à écrire (par défaut : la sortie standard)\n"
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
            .arg(parser.unknownOptionNames().constFirst());
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
    parser.addOptions(
        {outputOption, replaceOption, headerOption, delimiterOption, columnsOption, rawOption});
    if (const std::optional<int> status = parseCommand(parser, arguments, importHelp))
        return *status;
    const QStringList sources = parser.positionalArguments().mid(1);
    if (sources.isEmpty())
        return fail(QStringLiteral("import : aucune source (--help pour l'aide)"));
    if (!parser.isSet(outputOption))
        return fail(QStringLiteral("import : -o LEÇON.txt manque (--help pour l'aide)"));
    const QString output = parser.value(outputOption);

    ImportOptions options;
    options.rawPinyin = parser.isSet(rawOption);
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
                            .arg(value));
    }
    if (parser.isSet(columnsOption)) {
        const std::optional<QStringList> columns = parseColumnChoice(parser.value(columnsOption));
        if (!columns)
            return fail(QStringLiteral("--colonnes « %1 » : une à trois colonnes, la première "
                                       "(le chinois) non vide")
                            .arg(parser.value(columnsOption)));
        options.columns = *columns;
    }

    const ImportResult result = importFiles(sources, options);
    if (result.fatal)
        return fail(*result.fatal + QStringLiteral(" ; rien n'a été écrit"));
    for (const ImportIssue &issue : result.skipped)
        print(stderr,
              QStringLiteral("%1, ligne %2 : %3 ; ligne écartée\n")
                  .arg(quotedName(issue.file))
                  .arg(issue.line)
                  .arg(issue.message));
    if (result.entries.isEmpty())
        return fail(QStringLiteral("aucune entrée à écrire ; rien n'a été écrit (--colonnes, "
                                   "--separateur ?)"));
    if (const platform::FileResult<> written
        = writeFileAtomically(output, lessonFileBytes(result.entries), parser.isSet(replaceOption));
        !written.ok())
        return fail(written.error().message);
    print(stdout,
          QStringLiteral("%1 : %2 entrée(s) écrite(s)%3\n")
              .arg(quotedName(output))
              .arg(result.entries.size())
              .arg(result.skipped.isEmpty()
                       ? QString()
                       : QStringLiteral(", %1 ligne(s) écartée(s)").arg(result.skipped.size())));
    return result.skipped.isEmpty() ? exitDone : exitPartial;
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
    if (!parser.isSet(outputOption)) {
        if (std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout)
                != std::size_t(text.size())
            || std::fflush(stdout) != 0)
            return fail(QStringLiteral("sortie standard : écriture impossible"));
        return exitDone;
    }
    if (const platform::FileResult<> written
        = writeFileAtomically(parser.value(outputOption), text, parser.isSet(replaceOption));
        !written.ok())
        return fail(written.error().message);
    return exitDone;
}

} // namespace

int runLessonTool(const QStringList &arguments)
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
                    .arg(command));
}
