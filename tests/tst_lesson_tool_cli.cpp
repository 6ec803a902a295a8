// hanlexo-lesson as a learner runs it: exit statuses, messages, nothing half-written, and an
// imported lesson opened by the program.
#include "app/tform1.h"
#include "windowfixture.h"

#include <QDir>
#include <QProcess>
#include <QTest>

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

QString data(const QString &name)
{
    return QDir(dataDir).filePath(name);
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
        run = tool({QStringLiteral("import"), QStringLiteral("--inconnue"), data("cartes.txt")});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("option inconnue")));
        QCOMPARE(tool({QStringLiteral("ajouter")}).status, 2);
        QCOMPARE(tool({}).status, 2);
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
