// hanlexo-lesson as a learner runs it: exit statuses, messages, nothing half-written, and an
// imported lesson opened by the program.
#include "app/tform1.h"
#include "windowfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString dataDir = QStringLiteral(HANLEXO_TEST_DATA);

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

/// Runs the tool in the current directory.
Run tool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(HANLEXO_LESSON_TOOL), arguments);
    if (!process.waitForFinished(30000))
        qFatal("hanlexo-lesson did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

/// Runs a shell script with the tool's path as $1, in the current directory: names made of any
/// bytes, limits and redirections as a learner's shell gives them.
Run shell(const QString &script)
{
    QProcess process;
    process.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), script, QStringLiteral("sh"), QStringLiteral(HANLEXO_LESSON_TOOL)});
    if (!process.waitForFinished(60000))
        qFatal("the shell did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

/// The names in the current directory, hidden ones included, as bytes.
QByteArrayList namesHere()
{
    QByteArrayList names;
    DIR *directory = opendir(".");
    while (const dirent *entry = directory ? readdir(directory) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    if (directory)
        closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

QString data(const QString &name)
{
    return QDir(dataDir).filePath(name);
}

/// Compares the lesson written at path with the expected lines of a sample (fields joined by TAB;
/// an empty field is read back as " "), entry by entry, so that a failure names the first entry
/// that differs.
void compareEntries(const QString &path, const QStringList &expected)
{
    const ReferenceLesson written = referenceRead(readBytes(path));
    QCOMPARE(written.entries.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QStringList fields = expected[i].split(u'\t');
        for (QString &field : fields) {
            if (field.isEmpty())
                field = QStringLiteral(" ");
        }
        QCOMPARE(written.entries[i], fields);
    }
}

} // namespace

class TestLessonToolCli : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersion()
    {
        Run run = tool({QStringLiteral("--version")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("hanlexo-lesson 1.3\n"));
        run = tool({QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QStringLiteral("Commandes :")));
        run = tool({QStringLiteral("import"), QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QStringLiteral("--pinyin-brut")));
        QVERIFY(run.out.contains(QStringLiteral("--dictionnaire DICT")));
        run = tool({QStringLiteral("import"), QStringLiteral("--inconnue"), data("cartes.txt")});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("option inconnue")));
        QCOMPARE(tool({QStringLiteral("ajouter")}).status, 2);
        run = tool({});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.startsWith(QStringLiteral("Usage : hanlexo-lesson COMMANDE")));
    }

    void importWritesOnlyWhatItShould()
    {
        ScopedWorkDir work;
        // Lines passed over: written, status 1, each line named.
        Run run = tool({QStringLiteral("import"), data("tableur.csv"), QStringLiteral("-o"),
                        QStringLiteral("a.txt")});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(
            QStringLiteral("« %1 », ligne 8 : pas de champ chinois").arg(data("tableur.csv"))));
        QVERIFY(run.err.contains(QStringLiteral("ligne 9 :")));
        QVERIFY(run.out.contains(QStringLiteral("6 entrée(s)")));
        const QByteArray first = readBytes(QStringLiteral("a.txt"));

        // An existing lesson is kept unless --remplacer.
        run = tool({QStringLiteral("import"), data("cartes.txt"), QStringLiteral("-o"),
                    QStringLiteral("a.txt")});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("--remplacer")));
        QCOMPARE(readBytes(QStringLiteral("a.txt")), first);
        run = tool({QStringLiteral("import"), data("cartes.txt"), QStringLiteral("-o"),
                    QStringLiteral("a.txt"), QStringLiteral("--remplacer"),
                    QStringLiteral("--colonnes"), QStringLiteral("1,3,2")});
        QCOMPARE(run.status, 0);
        QVERIFY(readBytes(QStringLiteral("a.txt")) != first);

        // Refused sources: nothing written, the file and the place named.
        QVERIFY(QDir().mkdir(QStringLiteral("dossier.csv")));
        writeBytes(QStringLiteral("locked.csv"), "好\thǎo\tbien\n");
        QCOMPARE(::chmod("locked.csv", 0), 0);
        const bool rootReads = ::access("locked.csv", R_OK) == 0;
        const QList<std::pair<QString, QString>> refused = {
            {data("invalide.txt"), QStringLiteral("ligne 2, octet 17")},
            {QStringLiteral("dossier.csv"), QStringLiteral("c'est un dossier")},
            {QStringLiteral("absent.csv"), QStringLiteral("Fichier introuvable")},
            {QStringLiteral("locked.csv"), QStringLiteral("Accès au fichier refusé")},
        };
        for (const auto &[source, why] : refused) {
            if (source == u"locked.csv" && rootReads)
                continue;
            run = tool({QStringLiteral("import"), data("utf16.txt"), source, QStringLiteral("-o"),
                        QStringLiteral("b.txt")});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(QStringLiteral("« %1 »").arg(source)), qPrintable(run.err));
            QVERIFY2(run.err.contains(why), qPrintable(run.err));
            QVERIFY(!QFile::exists(QStringLiteral("b.txt")));
        }

        // A full disk: nothing half-written, no temporary file left.
        {
            const FileSizeLimit limit(8);
            run = tool({QStringLiteral("import"), data("tableur.csv"), QStringLiteral("-o"),
                        QStringLiteral("c.txt")});
        }
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("« c.txt » : écriture impossible")),
                 qPrintable(run.err));
        QCOMPARE(QDir().entryList({QStringLiteral("*c.txt*")}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    void realListsImportExactly_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QStringList>("remarks");
        // Real dictionary entries as learners export them (tests/data/corpus/make_corpus.py).
        QTest::newRow("spreadsheet CSV, French locale") << "tableur_fr.csv" << QStringList();
        QTest::newRow("notes export with HTML") << "notes_html.txt" << QStringList();
        QTest::newRow("notes export, plain text")
            << "notes_texte.txt"
            << QStringList {"ligne 3 : l'en-tête ne nomme pas le chinois : pris dans la colonne 1 "
                            "(« Front »)",
                            "ligne 3 : l'en-tête ne nomme pas le français : pris dans la colonne "
                            "2 (« Back »)"};
        QTest::newRow("spreadsheet Unicode text") << "texte_unicode.txt" << QStringList();
        QTest::newRow("flashcard list") << "fiches.txt" << QStringList();
        QTest::newRow("dictionary file") << "dictionnaire.u8" << QStringList();
    }
    void realListsImportExactly()
    {
        QFETCH(QString, sample);
        QFETCH(QStringList, remarks);
        ScopedWorkDir work;
        const QString source = data(QStringLiteral("corpus/") + sample);
        const QString expectedPath = data(QStringLiteral("corpus/") + sample.section(u'.', 0, 0)
                                          + QStringLiteral(".attendu"));
        QStringList expected = QString::fromUtf8(readBytes(expectedPath)).split(u'\n');
        QCOMPARE(expected.takeLast(), QString());
        QVERIFY(expected.size() > 400);

        const Run run = tool(
            {QStringLiteral("import"), source, QStringLiteral("-o"), QStringLiteral("leçon.txt")});
        QCOMPARE(run.status, 0);
        QStringList said = run.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(said.size(), remarks.size());
        for (qsizetype i = 0; i < remarks.size(); ++i)
            QVERIFY2(said[i].contains(remarks[i]), qPrintable(said[i]));
        QVERIFY(run.out.contains(QStringLiteral("%1 entrée(s) écrite(s)\n").arg(expected.size())));
        compareEntries(QStringLiteral("leçon.txt"), expected);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(readBytes(QStringLiteral("leçon.txt")), lessonBytes(expected));
    }

    void dictionaryFillsARealList()
    {
        // A learner's list of words filled from an extract of CC-CEDICT with bad lines put in
        // (tests/data/corpus/make_dictionary_sample.py): plain, then compressed.
        ScopedWorkDir work;
        const QString list = data(QStringLiteral("corpus/mots_chapitre.txt"));
        QStringList expected
            = QString::fromUtf8(readBytes(data(QStringLiteral("corpus/mots_chapitre.attendu"))))
                  .split(u'\n');
        QCOMPARE(expected.takeLast(), QString());
        QVERIFY(expected.size() > 200);
        const QString remarks
            = QString::fromUtf8(readBytes(data(QStringLiteral("corpus/mots_chapitre.remarques"))));
        for (const QString &name :
             {QStringLiteral("extrait_cedict.u8"), QStringLiteral("extrait_cedict.u8.gz")}) {
            const QString dictionary = data(QStringLiteral("corpus/") + name);
            const QString output = name + QStringLiteral(".leçon.txt");
            const Run run = tool({QStringLiteral("import"), list, QStringLiteral("-o"), output,
                                  QStringLiteral("--dictionnaire"), dictionary});
            QCOMPARE(run.status, 0);
            QCOMPARE(run.err + run.out,
                     QString(remarks)
                         .replace(QStringLiteral("{dictionnaire}"), dictionary)
                         .replace(QStringLiteral("{liste}"), list)
                         .replace(QStringLiteral("{sortie}"), output));
            compareEntries(output, expected);
            if (QTest::currentTestFailed())
                return;
        }

        // A second dictionary for what the first lacks; one that is no dictionary, or absent,
        // stops the import before anything is written.
        writeBytes(QStringLiteral("liste.txt"), "朋友\nHanlexo\n");
        writeBytes(QStringLiteral("perso.u8"),
                   "# mon dictionnaire\nHanlexo Hanlexo [han4 "
                   "le4 ke4 suo1] /ce programme/\n");
        Run run = tool({QStringLiteral("import"), QStringLiteral("liste.txt"), QStringLiteral("-o"),
                        QStringLiteral("a.txt"), QStringLiteral("--dictionnaire"),
                        data(QStringLiteral("corpus/extrait_cedict.u8.gz")),
                        QStringLiteral("--dictionnaire"), QStringLiteral("perso.u8")});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("2 complétée(s), 0 ambiguë(s), 0 inconnue(s)")),
                 qPrintable(run.out));
        const ReferenceLesson lesson = referenceRead(readBytes(QStringLiteral("a.txt")));
        QCOMPARE(lesson.entries.value(0).value(1), QStringLiteral("péng you"));
        QCOMPARE(lesson.entries.value(1),
                 (QStringList {"Hanlexo", "hàn lè kè suō", "ce programme"}));
        for (const QString &dictionary : {QStringLiteral("liste.txt"), QStringLiteral("absent")}) {
            run = tool({QStringLiteral("import"), QStringLiteral("liste.txt"), QStringLiteral("-o"),
                        QStringLiteral("b.txt"), QStringLiteral("--dictionnaire"), dictionary});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(QStringLiteral("« %1 »").arg(dictionary)),
                     qPrintable(run.err));
            QVERIFY(run.err.contains(QStringLiteral("rien n'a été écrit")));
            QVERIFY(!QFile::exists(QStringLiteral("b.txt")));
        }
        // Without a dictionary, a word alone is a line with too few fields.
        run = tool({QStringLiteral("import"), QStringLiteral("liste.txt"), QStringLiteral("-o"),
                    QStringLiteral("c.txt")});
        QCOMPARE(run.status, 2);
    }

    void tabListQuotesSwallowNothing()
    {
        // A meaning that opens a quote it never closes, in a list that quotes nothing.
        ScopedWorkDir work;
        writeBytes(QStringLiteral("liste.tsv"),
                   "英寸\tying1cun4\t\"inch\n"
                   "竹\tzhu2\t\"bamboo\" radical\n"
                   "尺\tchi3\tfoot (\"pied\")\n");
        Run run = tool({QStringLiteral("import"), QStringLiteral("liste.tsv"), QStringLiteral("-o"),
                        QStringLiteral("a.txt")});
        QCOMPARE(run.status, 0);
        QCOMPARE(readBytes(QStringLiteral("a.txt")),
                 lessonBytes({"英寸\tyīngcùn\t\"inch", "竹\tzhú\t\"bamboo\" radical",
                              "尺\tchǐ\tfoot (\"pied\")"}));
        // A separator given by its name.
        writeBytes(QStringLiteral("liste.csv"), "尺,chi3,\"pied, 33 cm\"\n");
        run = tool({QStringLiteral("import"), QStringLiteral("liste.csv"), QStringLiteral("-o"),
                    QStringLiteral("b.txt"), QStringLiteral("--separateur"),
                    QStringLiteral("virgule")});
        QCOMPARE(run.status, 0);
        QCOMPARE(readBytes(QStringLiteral("b.txt")), lessonBytes({"尺\tchǐ\tpied, 33 cm"}));
    }

    void verifierStatus()
    {
        ScopedWorkDir work;
        QCOMPARE(tool({QStringLiteral("import"), data("utf16.txt"), QStringLiteral("-o"),
                       QStringLiteral("good.txt")})
                     .status,
                 0);
        Run run = tool({QStringLiteral("verifier"), QStringLiteral("good.txt")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QStringLiteral("« good.txt » : listée, 2 entrée(s)")));
        QVERIFY(run.out.contains(QStringLiteral("entrée 1 (一) : pinyin")));
        writeBytes(QStringLiteral("odd.txt"), readBytes(QStringLiteral("good.txt")) + 'x');
        run = tool({QStringLiteral("verifier"), QStringLiteral("good.txt"),
                    QStringLiteral("odd.txt"), data("tableur.csv")});
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.contains(QStringLiteral("Lecture au-delà de la fin de fichier")));
        // A lesson that stops loading holds back none of the others.
        QVERIFY(run.out.contains(QStringLiteral("charge quand même les autres leçons cochées")));
        QVERIFY(!run.out.contains(QStringLiteral("ne lit pas les leçons suivantes")));
        QVERIFY(run.out.contains(QStringLiteral("non listée")));
    }

    void exportThenImportIsIdentical()
    {
        ScopedWorkDir work;
        tool({QStringLiteral("import"), data("tableur.csv"), data("cartes.txt"),
              QStringLiteral("-o"), QStringLiteral("a.txt")});
        Run run = tool({QStringLiteral("exporter"), QStringLiteral("a.txt")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("你好\tnǐ hǎo\tbonjour\n")));
        writeBytes(QStringLiteral("a.tsv"), run.out.toUtf8());
        QCOMPARE(tool({QStringLiteral("import"), QStringLiteral("a.tsv"), QStringLiteral("-o"),
                       QStringLiteral("b.txt")})
                     .status,
                 0);
        QCOMPARE(readBytes(QStringLiteral("b.txt")), readBytes(QStringLiteral("a.txt")));
        QCOMPARE(tool({QStringLiteral("exporter"), data("tableur.csv")}).status, 2);

        // Entries that once came back changed or not at all.
        const QByteArray lesson = lessonBytes(
            {"word\twɜːd\tmot", "#1\tyī\tnuméro un",
             "红楼梦\tHóng lóu mèng\t<Le Rêve dans le pavillon rouge> &amp; R&D", "西安\tXī'ān\t"});
        writeBytes(QStringLiteral("c.txt"), lesson);
        run = tool({QStringLiteral("exporter"), QStringLiteral("c.txt"), QStringLiteral("-o"),
                    QStringLiteral("-")});
        QCOMPARE(run.status, 0);
        QVERIFY(!QFile::exists(QStringLiteral("-")));
        writeBytes(QStringLiteral("c.tsv"), run.out.toUtf8());
        QCOMPARE(tool({QStringLiteral("import"), QStringLiteral("c.tsv"), QStringLiteral("-o"),
                       QStringLiteral("d.txt")})
                     .status,
                 0);
        QCOMPARE(readBytes(QStringLiteral("d.txt")), lesson);
    }

    void outputIsARegularFileOrNothing()
    {
        // The learner's link is followed and stays a link; anything but a regular file at its
        // end is refused, even with --remplacer (the cases in detail: tst_lesson_tool).
        ScopedWorkDir work;
        writeBytes(QStringLiteral("liste.tsv"), "好\thao3\tbien\n");
        writeBytes(QStringLiteral("vraie.txt"), "ancienne");
        QCOMPARE(::symlink("vraie.txt", "lien.txt"), 0);
        QCOMPARE(::mkfifo("tube.txt", 0644), 0);
        const auto import = [](const QString &output) {
            return tool({QStringLiteral("import"), QStringLiteral("liste.tsv"),
                         QStringLiteral("-o"), output, QStringLiteral("--remplacer")});
        };
        QCOMPARE(import(QStringLiteral("lien.txt")).status, 0);
        QVERIFY(QFileInfo(QStringLiteral("lien.txt")).isSymLink());
        QCOMPARE(readBytes(QStringLiteral("vraie.txt")), lessonBytes({"好\thǎo\tbien"}));
        const Run fifo = import(QStringLiteral("tube.txt"));
        QCOMPARE(fifo.status, 2);
        QVERIFY2(fifo.err.contains(QStringLiteral("« tube.txt » : écriture impossible (ce n'est "
                                                  "pas un fichier ordinaire)")),
                 qPrintable(fifo.err));
        QVERIFY(!QFileInfo(QStringLiteral("tube.txt")).isFile());

        // A lesson is a file: standard output is refused, and nothing named "-" appears.
        const Run dash = import(QStringLiteral("-"));
        QCOMPARE(dash.status, 2);
        QVERIFY(dash.err.contains(QStringLiteral("sortie standard")));
        QVERIFY(!QFile::exists(QStringLiteral("-")));
    }

    void anotherUsersLinkIsNotFollowed()
    {
        // In a shared sticky folder, as /tmp is, only links the folder's owner or we made are
        // followed (the kernel's rule, as the settings writer keeps it).
        if (geteuid() != 0)
            SKIP_OR_FAIL_IN_CI("giving a link to another user needs root");
        ScopedWorkDir work;
        writeBytes(QStringLiteral("liste.tsv"), "好\thao3\tbien\n");
        writeBytes(QStringLiteral("notes.txt"), "mes notes");
        QVERIFY(QDir().mkdir(QStringLiteral("partage")));
        QCOMPARE(::chmod("partage", 01777), 0);
        QCOMPARE(
            ::symlink(QFile::encodeName(work.filePath(QStringLiteral("notes.txt"))).constData(),
                      "partage/piege.txt"),
            0);
        QCOMPARE(::lchown("partage/piege.txt", nobodyId, nobodyId), 0);
        const Run run
            = tool({QStringLiteral("import"), QStringLiteral("liste.tsv"), QStringLiteral("-o"),
                    QStringLiteral("partage/piege.txt"), QStringLiteral("--remplacer")});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("lien symbolique d'un autre utilisateur")),
                 qPrintable(run.err));
        QCOMPARE(readBytes(QStringLiteral("notes.txt")), QByteArray("mes notes"));
        QVERIFY(QFileInfo(QStringLiteral("partage/piege.txt")).isSymLink());
    }

    void namesAreTheBytesGiven()
    {
        // Names that are no UTF-8 reach their own file, and are shown escaped.
        ScopedWorkDir work;
        writeBytes(QStringLiteral("liste.tsv"), "好\thao3\tbien\n");
        Run run
            = shell(QStringLiteral("\"$1\" import liste.tsv -o \"$(printf 'out\\377\\376.txt')\""));
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("« out\\xFF\\xFE.txt »")), qPrintable(run.out));
        QCOMPARE(namesHere(), (QByteArrayList {"liste.tsv", "out\xFF\xFE.txt"}));
        run = shell(QStringLiteral("\"$1\" verifier \"$(printf 'out\\377\\376.txt')\""));
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("listée, 1 entrée(s)")), qPrintable(run.out));
        run = shell(QStringLiteral("\"$1\" exporter \"$(printf 'out\\377\\376.txt')\""));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("好\thǎo\tbien\n"));

        // Control characters never reach the terminal as they are.
        run = shell(QStringLiteral("\"$1\" verifier \"$(printf 'x\\033[2J\\007.txt')\""));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.contains(QStringLiteral("« x\\x1B[2J\\x07.txt »")), qPrintable(run.out));
        QVERIFY(!run.out.contains(QChar(0x1B)) && !run.out.contains(QChar(0x07)));
        run = shell(
            QStringLiteral("\"$1\" import \"$(printf 'y\\033]0;titre\\007.csv')\" -o z.txt"));
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("« y\\x1B]0;titre\\x07.csv »")),
                 qPrintable(run.err));
        QVERIFY(!run.err.contains(QChar(0x1B)));
        writeBytes(QStringLiteral("entete.tsv"), "chinois\tpinyin\n好\thao3\n");
        run = shell(QStringLiteral(
            "\"$1\" import entete.tsv -o z.txt --colonnes \"$(printf 'a\\033[2Jb')\""));
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("« a\\x1B[2Jb »")), qPrintable(run.err));
        QVERIFY(!run.err.contains(QChar(0x1B)));
    }

    void fullStandardOutputIsAFailure()
    {
        ScopedWorkDir work;
        writeBytes(QStringLiteral("lecon.txt"), lessonBytes({"好\thǎo\tbien"}));
        for (const QString &command : {QStringLiteral("verifier"), QStringLiteral("exporter")}) {
            const Run run = shell(QStringLiteral("\"$1\" %1 lecon.txt > /dev/full").arg(command));
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(QStringLiteral("sortie standard : écriture impossible")),
                     qPrintable(run.err));
        }
    }

    void standardOutputAsAFileIsRefused()
    {
        // /dev/stdout on a pipe or a terminal is no file to replace, with or without --remplacer.
        ScopedWorkDir work;
        writeBytes(QStringLiteral("liste.tsv"), "好\thao3\tbien\n");
        for (const QString &replace : {QString(), QStringLiteral("--remplacer")}) {
            const Run run = shell(
                QStringLiteral("\"$1\" import liste.tsv -o /dev/stdout %1 | cat").arg(replace));
            QCOMPARE(run.status, 0); // cat's
            QVERIFY2(run.err.contains(QStringLiteral("« /dev/stdout » : écriture impossible (ce "
                                                     "n'est pas un fichier ordinaire)")),
                     qPrintable(run.err));
        }
    }

    void hugeColumnNumberIsOutOfRange()
    {
        ScopedWorkDir work;
        writeBytes(QStringLiteral("liste.tsv"), "chinois\tpinyin\n好\thao3\n");
        const Run run = tool({QStringLiteral("import"), QStringLiteral("liste.tsv"),
                              QStringLiteral("-o"), QStringLiteral("a.txt"),
                              QStringLiteral("--colonnes"), QStringLiteral("99999999999")});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("colonne 99999999999 hors limites")),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(QStringLiteral("a.txt")));
    }

    void killedImportsTemporariesAreRemoved()
    {
        // What kill -9 left from imports into this folder: the user's own unlocked temporaries
        // go at the next import, whatever lesson they were for; one a running import holds
        // (locked) and another user's stay.
        ScopedWorkDir work;
        writeBytes(QStringLiteral("liste.tsv"), "好\thao3\tbien\n");
        writeBytes(QStringLiteral(".LEÇON.txt.tmp.Ab12Cd"), QByteArray(4096, 'x'));
        writeBytes(QStringLiteral(".autre.txt.tmp.0a9zAZ"), "x");
        writeBytes(QStringLiteral(".en-cours.txt.tmp.Qw3rT5"), "x");
        writeBytes(QStringLiteral(".notes.txt.tmp.mine"), "not a temporary's name");
        const int running = ::open(".en-cours.txt.tmp.Qw3rT5", O_RDONLY | O_CLOEXEC);
        QVERIFY(running >= 0);
        QCOMPARE(::flock(running, LOCK_EX), 0);
        QByteArrayList kept
            = {".en-cours.txt.tmp.Qw3rT5", ".notes.txt.tmp.mine", "lecon.txt", "liste.tsv"};
        if (geteuid() == 0) {
            writeBytes(QStringLiteral(".sien.txt.tmp.Zz99Yy"), "x");
            QCOMPARE(::chown(".sien.txt.tmp.Zz99Yy", nobodyId, nobodyId), 0);
            kept << ".sien.txt.tmp.Zz99Yy";
        }
        std::sort(kept.begin(), kept.end());
        const Run run = tool({QStringLiteral("import"), QStringLiteral("liste.tsv"),
                              QStringLiteral("-o"), QStringLiteral("lecon.txt")});
        ::close(running);
        QCOMPARE(run.status, 0);
        QCOMPARE(namesHere(), kept);
    }

    void rootReplacementKeepsTheLearnersOwnership()
    {
        if (geteuid() != 0)
            SKIP_OR_FAIL_IN_CI("a learner's lesson for root to replace needs root to arrange");
        ScopedWorkDir work;
        QCOMPARE(::chmod(".", 0755), 0);
        writeBytes(QStringLiteral("liste.tsv"), "好\thao3\tbien\n");
        writeBytes(QStringLiteral("lecon.txt"), lessonBytes({"一\tyī\tun"}));
        QCOMPARE(::chown("lecon.txt", nobodyId, nobodyId), 0);
        QCOMPARE(::chmod("lecon.txt", 0640), 0);
        for (const QString &command : {QStringLiteral("import"), QStringLiteral("exporter")}) {
            const QString source
                = command == u"import" ? QStringLiteral("liste.tsv") : QStringLiteral("lecon.txt");
            const QString output
                = command == u"import" ? QStringLiteral("lecon.txt") : QStringLiteral("liste.tsv");
            if (command == u"exporter") {
                QCOMPARE(::chown("liste.tsv", nobodyId, nobodyId), 0);
                QCOMPARE(::chmod("liste.tsv", 0640), 0);
            }
            const Run run = tool(
                {command, source, QStringLiteral("-o"), output, QStringLiteral("--remplacer")});
            QCOMPARE(run.status, 0);
            struct stat status = {};
            QCOMPARE(::stat(QFile::encodeName(output).constData(), &status), 0);
            QCOMPARE(status.st_uid, nobodyId);
            QCOMPARE(status.st_gid, gid_t(nobodyId));
            QCOMPARE(status.st_mode & 07777, 0640u);
        }
        // The learner still reads their lesson.
        QCOMPARE(runAsNobody([] { return ::access("lecon.txt", R_OK) == 0 ? 0 : 1; }), 0);
    }

    void outOfMemoryEndsWithStatusTwo()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer reserves terabytes of address space: it cannot run under an "
              "address-space limit (the normal build runs this case)");
#endif
        ScopedWorkDir work;
        // The least address space in which the tool starts at all, in steps of 8 MB.
        qsizetype base = 0;
        for (qsizetype kb = 16384; kb <= 1 << 20 && base == 0; kb += 8192) {
            if (shell(QStringLiteral("ulimit -v %1 && \"$1\" --version").arg(kb)).status == 0)
                base = kb;
        }
        QVERIFY(base > 0);
        // A 16 MB list of 400,000-odd lines.
        QByteArray list;
        constexpr qsizetype sourceKb = 16 << 10;
        for (int i = 0; list.size() < sourceKb * 1024; ++i)
            list += "字" + QByteArray::number(i) + "\tzi4\tmot numéro " + QByteArray::number(i)
                + '\n';
        writeBytes(QStringLiteral("liste.tsv"), list);

        // Import needs at most four times its source, beyond what the tool needs to start...
        Run run = shell(QStringLiteral("ulimit -v %1 && \"$1\" import liste.tsv -o a.txt")
                            .arg(base + 8192 + 4 * sourceKb));
        QVERIFY2(run.status == 0, qPrintable(run.err));
        // ...and with too little, it says so and ends with status 2: no abort, nothing written.
        run = shell(QStringLiteral("ulimit -v %1 && \"$1\" import liste.tsv -o b.txt")
                        .arg(base + sourceKb / 2));
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("mémoire insuffisante")), qPrintable(run.err));
        QCOMPARE(namesHere(), (QByteArrayList {"a.txt", "liste.tsv"}));
        run = shell(
            QStringLiteral("ulimit -v %1 && \"$1\" verifier a.txt").arg(base + sourceKb / 4));
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("mémoire insuffisante")), qPrintable(run.err));
    }

    void importedLessonOpensInTheProgram()
    {
        WindowFixture fixture;
        QCOMPARE(tool({QStringLiteral("import"), data("tableur.csv"), QStringLiteral("-o"),
                       QStringLiteral("vocabulaire.txt")})
                     .status,
                 1);
        TForm1 &form = fixture.start();
        QVERIFY(fixture.errors.isEmpty());
        QCOMPARE(entries(form),
                 (QStringList {"你好|nǐ hǎo|bonjour", "谢谢|xièxie|merci", "绿|lǜ|vert",
                               "女儿|nǚ ér|fille", "再见|zài jiàn|au revoir, à bientôt",
                               "老师|lǎo shī|professeur \"maître\""}));
    }
};

QTEST_MAIN(TestLessonToolCli)
#include "tst_lesson_tool_cli.moc"
