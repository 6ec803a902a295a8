// The lesson tool's logic: pinyin marks, delimited text, decoding, import, writing and checking.
#include "lessontool/delimited_text.h"
#include "lessontool/exporter.h"
#include "lessontool/field_text.h"
#include "lessontool/importer.h"
#include "lessontool/lesson_check.h"
#include "lessontool/lesson_file.h"
#include "lessontool/pinyin.h"
#include "lessontool/text_decoding.h"
#include "testsupport.h"

#include <QDir>
#include <QTest>

namespace {

using Q = qsizetype;

const QString dataDir = QStringLiteral(HANLEXO_TEST_DATA);

/// Records as "field|field" joined by " / ".
QString joined(const QList<Record> &records)
{
    QStringList out;
    for (const Record &record : records)
        out << record.fields.join(u'|');
    return out.join(QStringLiteral(" / "));
}

QStringList entryTexts(const QList<LessonEntry> &entries)
{
    QStringList out;
    for (const LessonEntry &entry : entries)
        out << entry.chinese + u'|' + entry.pinyin + u'|' + entry.french;
    return out;
}

ImportResult importText(const QByteArray &bytes, const ImportOptions &options = {})
{
    ImportResult result;
    importBytes(QStringLiteral("liste.csv"), bytes, options, result);
    return result;
}

} // namespace

class TestLessonTool : public QObject
{
    Q_OBJECT

private slots:
    void pinyin_data()
    {
        QTest::addColumn<QString>("numbered");
        QTest::addColumn<QString>("marked");
        // The mark on a or e, on the o of "ou", otherwise on the last vowel.
        QTest::newRow("a and o") << "ni3 hao3"
                                 << "nǐ hǎo";
        QTest::newRow("no spaces") << "xie4xie5"
                                   << "xièxie";
        QTest::newRow("e before i") << "bei3 jing1"
                                    << "běi jīng";
        QTest::newRow("o of ou") << "gou3 rou4"
                                 << "gǒu ròu";
        QTest::newRow("last of iu") << "liu4"
                                    << "liù";
        QTest::newRow("last of ui") << "gui4"
                                    << "guì";
        QTest::newRow("ue") << "xue2 sheng1"
                            << "xué shēng";
        QTest::newRow("io") << "xiong2"
                            << "xióng";
        QTest::newRow("er") << "nü3 er2"
                            << "nǚ ér";
        QTest::newRow("v") << "lv4"
                           << "lǜ";
        QTest::newRow("u colon") << "lu:4"
                                 << "lǜ";
        QTest::newRow("ü") << "lü4"
                           << "lǜ";
        QTest::newRow("ue written ve") << "lve4"
                                       << "lüè";
        QTest::newRow("capitals") << "Zhong1guo2 LV4"
                                  << "Zhōngguó LǛ";
        QTest::newRow("tone 5 and none") << "ma5 ma nv"
                                         << "ma ma nü";
        QTest::newRow("no vowel keeps its number") << "m2 ni3"
                                                   << "m2 nǐ";
        QTest::newRow("marked kept") << "nǐ hao3"
                                     << "nǐ hao3";
        QTest::newRow("no number") << "ni hao"
                                   << "ni hao";
        QTest::newRow("number of two digits") << "ka12"
                                              << "ka12";
        QTest::newRow("punctuation") << "ni3, hao3!"
                                     << "nǐ, hǎo!";
    }
    void pinyin()
    {
        QFETCH(QString, numbered);
        QFETCH(QString, marked);
        QCOMPARE(numberedToMarked(numbered), marked);
    }

    void delimited_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("records");
        QTest::newRow("plain, CR LF") << "a,b,c\r\nd,e,f\r\n"
                                      << ","
                                      << "a|b|c / d|e|f";
        QTest::newRow("LF, CR, no last end") << "a;b\nc;d\re;f"
                                             << ";"
                                             << "a|b / c|d / e|f";
        QTest::newRow("delimiter inside quotes") << "\"a,b\",c\n"
                                                 << ","
                                                 << "a,b|c";
        QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\",x\n"
                                        << ","
                                        << "say \"hi\"|x";
        QTest::newRow("line break inside quotes") << "\"one\r\ntwo\",x\ny,z\n"
                                                  << ","
                                                  << "one\r\ntwo|x / y|z";
        QTest::newRow("empty fields") << ",,\n\"\",b,\n"
                                      << ","
                                      << "|| / |b|";
        QTest::newRow("blank lines") << "a\tb\n\n\r\nc\td\n"
                                     << "\t"
                                     << "a|b / c|d";
        QTest::newRow("quote inside a field") << "5\" disk,x\n"
                                              << ","
                                              << "5\" disk|x";
        QTest::newRow("blanks before a quote") << "a, \"b,c\"\n"
                                               << ","
                                               << "a|b,c";
        QTest::newRow("text after the closing quote") << "\"ab\"cd,e\n"
                                                      << ","
                                                      << "abcd|e";
    }
    void delimited()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(QString, records);
        QCOMPARE(joined(parseDelimited(text, delimiter.at(0))), records);
    }

    void delimitedLinesAndOpenQuote()
    {
        const QList<Record> records = parseDelimited(u"a,\"b\nc\"\nd,e\nf,\"open\n", u',');
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[0].line, 1);
        QCOMPARE(records[1].line, 3);
        QCOMPARE(records[2].line, 4);
        QVERIFY(!records[1].unterminatedQuote);
        QVERIFY(records[2].unterminatedQuote);
    }

    void delimiterDetection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::newRow("tab with commas in French") << "好\thǎo\tbien, bon\n"
                                                   << "\t";
        QTest::newRow("semicolon with commas") << "好;hǎo;bien, bon\n你;nǐ;toi\n"
                                               << ";";
        QTest::newRow("comma") << "好,hǎo,bien\n你,nǐ,\"toi; vous\"\n"
                               << ",";
        QTest::newRow("comments skipped") << "#a;b;c\n#d;e\n好,hǎo,bien\n"
                                          << ",";
        QTest::newRow("one column") << "好\n你\n"
                                    << "\t";
    }
    void delimiterDetection()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QCOMPARE(QString(detectDelimiter(text)), delimiter);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<qsizetype>("byte");
        QTest::newRow("UTF-8") << QByteArray("a\xc3\xa9") << true << "aé" << Q(0) << Q(0);
        QTest::newRow("UTF-8 with mark")
            << QByteArray("\xef\xbb\xbf\xe4\xbd\xa0") << true << "你" << Q(0) << Q(0);
        QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfe\x60\x4f\x3d\xd8\x00\xde", 8) << true
                                   << QString::fromUtf8("你\xf0\x9f\x98\x80") << Q(0) << Q(0);
        QTest::newRow("UTF-16 BE")
            << QByteArray("\xfe\xff\x4f\x60", 4) << true << "你" << Q(0) << Q(0);
        QTest::newRow("Latin-1 on line 2")
            << QByteArray("ok\nd\xe9j\xe0") << false << "" << Q(2) << Q(4);
        QTest::newRow("truncated at the end")
            << QByteArray("ab\xe4\xbd") << false << "" << Q(1) << Q(2);
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << false << "" << Q(1) << Q(0);
        QTest::newRow("encoded surrogate")
            << QByteArray("x\xed\xa0\x80") << false << "" << Q(1) << Q(1);
        QTest::newRow("binary with NUL") << QByteArray("ab\0cd", 5) << false << "" << Q(1) << Q(2);
        QTest::newRow("odd UTF-16")
            << QByteArray("\xff\xfe\x41\x00\x42", 5) << false << "" << Q(1) << Q(4);
        QTest::newRow("lone surrogate")
            << QByteArray("\xff\xfe\x0a\x00\x3d\xd8\x41\x00", 8) << false << "" << Q(2) << Q(4);
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        const DecodedText decoded = decodeText(bytes);
        QCOMPARE(decoded.ok, ok);
        if (ok) {
            QTEST(decoded.text, "text");
        } else {
            QTEST(decoded.errorLine, "line");
            QTEST(decoded.errorByte, "byte");
            QVERIFY(!decoded.errorReason.isEmpty());
        }
    }

    void fieldCleaning()
    {
        QCOMPARE(htmlToText(u"<b>élève</b>&nbsp;<br>étudiant"), QStringLiteral("élève étudiant"));
        QCOMPARE(htmlToText(u"<div>un</div><div>deux</div>"), QStringLiteral(" un deux "));
        QCOMPARE(htmlToText(u"a &lt; b &amp;&#233;&#xE8;"), QStringLiteral("a < b &éè"));
        QCOMPARE(htmlToText(u"1 < 2 & 3 &unknown;"), QStringLiteral("1 < 2 & 3 &unknown;"));
        QCOMPARE(lessonField(u"  un\tdeux\r\ntrois\u2028 "), QStringLiteral("un deux  trois"));
    }

    void importColumnsAndHeader()
    {
        // A recognised header orders the fields; notes and comments are left out.
        const QByteArray csv = "#deck:HSK\nSens;Hanzi;Pinyin;Notes\nbonjour;你好;ni3 hao3;x\n";
        ImportResult result = importText(csv);
        QVERIFY(!result.fatal);
        QCOMPARE(entryTexts(result.entries), QStringList {"你好|nǐ hǎo|bonjour"});

        ImportOptions options;
        options.columns = *parseColumnChoice(QStringLiteral("hanzi, ,sens"));
        options.rawPinyin = true;
        result = importText(csv, options);
        QCOMPARE(entryTexts(result.entries), QStringList {"你好||bonjour"});

        options.columns = *parseColumnChoice(QStringLiteral("2,3,1"));
        options.header = true;
        options.rawPinyin = false;
        result = importText("a,b,c\nbonjour,你好,ni3 hao3\n", options);
        QCOMPARE(entryTexts(result.entries), QStringList {"你好|nǐ hǎo|bonjour"});

        options.columns = {QStringLiteral("mot")};
        result = importText("Chinois,Pinyin\n你,ni3\n", options);
        QVERIFY(result.fatal);
        QVERIFY2(result.fatal->contains(QStringLiteral("Chinois, Pinyin")),
                 qPrintable(*result.fatal));
        QVERIFY(!parseColumnChoice(QStringLiteral(",2,3")));
        QVERIFY(!parseColumnChoice(QStringLiteral("1,2,3,4")));
    }

    void importReportsSkippedLines()
    {
        const ImportResult result
            = importText("好\thǎo\tbien\n\tren2\tpersonne\n朋友\tpeng2\n\n  \t \n\"open\tx\n");
        QCOMPARE(entryTexts(result.entries), QStringList {"好|hǎo|bien"});
        QCOMPARE(result.skipped.size(), 3);
        QCOMPARE(result.skipped[0].line, 2);
        QCOMPARE(result.skipped[1].line, 3);
        QCOMPARE(result.skipped[2].line, 6);
        QCOMPARE(result.skipped[0].file, QStringLiteral("liste.csv"));
    }

    void importSpreadsheetSample()
    {
        const ImportResult result
            = importFiles({QDir(dataDir).filePath(QStringLiteral("tableur.csv"))}, {});
        QVERIFY(!result.fatal);
        QCOMPARE(entryTexts(result.entries),
                 (QStringList {"你好|nǐ hǎo|bonjour", "谢谢|xièxie|merci", "绿|lǜ|vert",
                               "女儿|nǚ ér|fille", "再见|zài jiàn|au revoir, à bientôt",
                               "老师|lǎo shī|professeur \"maître\""}));
        QCOMPARE(result.skipped.size(), 2);
    }

    void lessonBytesAreTheFormat()
    {
        // The one-entry lesson of the format, byte for byte.
        const QByteArray expected("\xFF\xFE\x01\x80\x09\x00\x6C\x00\xCE\x01\x6F\x00\x09\x00\x76\x00"
                                  "\x69\x00\x65\x00\x75\x00\x78\x00\x0D\x00\x0A\x00",
                                  28);
        QCOMPARE(lessonFileBytes(
                     {{QStringLiteral("老"), QStringLiteral("lǎo"), QStringLiteral("vieux")}}),
                 expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("lesson");
        const QStringList samples = QDir(QStringLiteral(HANLEXO_SAMPLE_LESSONS))
                                        .entryList({QStringLiteral("*.txt")}, QDir::Files);
        QVERIFY(!samples.isEmpty());
        for (const QString &name : samples)
            QTest::newRow(qPrintable(name))
                << QDir(QStringLiteral(HANLEXO_SAMPLE_LESSONS)).filePath(name);
        QTest::newRow("imported spreadsheet") << QString();
    }
    void roundTrip()
    {
        // lesson -> export -> import gives the same bytes.
        QFETCH(QString, lesson);
        ScopedWorkDir work;
        if (lesson.isEmpty()) {
            lesson = work.filePath(QStringLiteral("imported.txt"));
            const ImportResult result
                = importFiles({QDir(dataDir).filePath(QStringLiteral("tableur.csv")),
                               QDir(dataDir).filePath(QStringLiteral("utf16.txt"))},
                              {});
            writeBytes(lesson, lessonFileBytes(result.entries));
        }
        QList<LessonEntry> entries;
        QCOMPARE(readLessonEntries(lesson, entries), std::nullopt);
        const QByteArray exported = exportText(entries, true);
        const ImportResult again = importText(exported);
        QVERIFY(!again.fatal);
        QVERIFY(again.skipped.isEmpty());
        QCOMPARE(lessonFileBytes(again.entries), readBytes(lesson));
    }

    void atomicWrite()
    {
        ScopedWorkDir work;
        const QString path = work.filePath(QStringLiteral("leçon.txt"));
        QVERIFY(writeFileAtomically(path, "one", false).ok());
        const platform::FileResult<> refused = writeFileAtomically(path, "two", false);
        QVERIFY(!refused.ok() && refused.error().message.contains(QStringLiteral("--remplacer")));
        QCOMPARE(refused.error().code, EEXIST);
        QCOMPARE(readBytes(path), QByteArray("one"));
        QVERIFY(writeFileAtomically(path, "three", true).ok());
        QCOMPARE(readBytes(path), QByteArray("three"));

        // A full disk: the old file stays whole and no temporary file is left.
        {
            const FileSizeLimit limit(2);
            const platform::FileResult<> full = writeFileAtomically(path, "four!", true);
            QVERIFY(!full.ok()
                    && full.error().message.contains(QStringLiteral("« %1 »").arg(path)));
            QVERIFY(!writeFileAtomically(work.filePath(QStringLiteral("new.txt")), "four!", false)
                         .ok());
        }
        QCOMPARE(readBytes(path), QByteArray("three"));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList {QStringLiteral("leçon.txt")});

        QVERIFY(!writeFileAtomically(work.path(), "x", true).ok()); // a directory
        QVERIFY(!writeFileAtomically(work.filePath(QStringLiteral("no/such.txt")), "x", true).ok());
    }

    void check()
    {
        ScopedWorkDir work;
        QStringList lines;
        for (int i = 0; i < 5; ++i)
            lines << QStringLiteral("字%1\tzi%1\tmot %1").arg(i);
        lines << QStringLiteral("字1\t\t") << QStringLiteral("字2\tzi\tmot\tnote\textra")
              << QStringLiteral("字5\tzi5\tmot 5");
        QByteArray bytes = lessonBytes(lines);
        writeBytes(work.filePath(QStringLiteral("a.txt")), bytes);
        LessonCheck result = checkLesson(QStringLiteral("a.txt"));
        QVERIFY(result.ok());
        QCOMPARE(result.entries, 8);
        QCOMPARE(result.missing.size(), 1);
        QCOMPARE(result.missing[0].entry, 6);
        QCOMPARE(result.missing[0].fields, (QStringList {"pinyin", "français"}));
        QCOMPARE(result.extra.size(), 1);
        QCOMPARE(result.extra[0].line, 7);
        QCOMPARE(result.extra[0].fields, 5);
        QCOMPARE(result.duplicates.size(), 2);
        QCOMPARE(result.duplicates[0].entries, (QList<qsizetype> {2, 6}));
        QCOMPARE(result.distinctChinese, 6);
        QVERIFY(result.testAlone);
        QVERIFY(checkReport(result).contains(QStringLiteral("ligne 7 : 5 champs")));

        // Odd length: listed, read up to the stray byte, not accepted.
        writeBytes(work.filePath(QStringLiteral("odd.txt")), bytes + 'x');
        result = checkLesson(QStringLiteral("odd.txt"));
        QVERIFY(result.listed);
        QCOMPARE(result.readError, QStringLiteral("Lecture au-delà de la fin de fichier"));
        QCOMPARE(result.entries, 8);
        QVERIFY(!result.ok());

        // Names and contents the program passes over.
        writeBytes(work.filePath(QStringLiteral("a.csv")), bytes);
        QVERIFY(!checkLesson(QStringLiteral("a.csv")).ok());
        writeBytes(work.filePath(QStringLiteral("utf8.txt")), "你好\tnǐ hǎo\tbonjour\r\n");
        result = checkLesson(QStringLiteral("utf8.txt"));
        QVERIFY(!result.listed);
        QVERIFY(result.notListedReason.contains(QStringLiteral("FF FE")));
        QVERIFY(!checkLesson(QStringLiteral("missing.txt")).ok());
        QVERIFY(QDir(work.path()).mkdir(QStringLiteral("dir.txt")));
        QVERIFY(!checkLesson(QStringLiteral("dir.txt")).ok());
    }
};

QTEST_APPLESS_MAIN(TestLessonTool)
#include "tst_lesson_tool.moc"
