// The lesson tool's logic: pinyin marks, delimited text, decoding, import, writing and checking.
#include "lessontool/cedict.h"
#include "lessontool/delimited_text.h"
#include "lessontool/dictionary.h"
#include "lessontool/exporter.h"
#include "lessontool/field_text.h"
#include "lessontool/file_names.h"
#include "lessontool/importer.h"
#include "lessontool/lesson_check.h"
#include "lessontool/lesson_file.h"
#include "lessontool/pinyin.h"
#include "lessontool/text_decoding.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace lessontool;

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

/// Reads a dictionary written to a file of the current directory, keeping the words given.
DictionaryRead dictionaryOf(const QByteArray &text, const QStringList &words,
                            qsizetype maxBytes = qsizetype(512) << 20)
{
    writeBytes(QStringLiteral("dict.u8"), text);
    QSet<QByteArray> wanted;
    for (const QString &word : words)
        wanted.insert(word.toUtf8());
    return readDictionary(QStringLiteral("dict.u8"), wanted, maxBytes);
}

QString remarkTexts(const QList<ImportIssue> &remarks)
{
    QStringList out;
    for (const ImportIssue &remark : remarks)
        out << QStringLiteral("%1:%2:%3").arg(remark.file).arg(remark.line).arg(remark.message);
    return out.join(u'\n');
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
        QTest::newRow("tone 5, none, v without a number") << "ma5 ma nv"
                                                          << "ma ma nv";
        QTest::newRow("erhua, hm and hng lose tone 5") << "yi1 dian3 r5 hm5 hng5 hm ma1"
                                                       << "yī diǎn r hm hng hm mā";
        QTest::newRow("syllabic nasals") << "m1 m2 m3 m4 n2 n3 n4 ng2 hng4 M2 N2 Ng4 n1"
                                         << "m\u0304 ḿ m\u030C m\u0300 ń ň ǹ ńg hǹg Ḿ Ń Ǹg n\u0304";
        QTest::newRow("letters without vowel keep 1 to 4") << "r3 xx2 ni3"
                                                           << "r3 xx2 nǐ";
        QTest::newRow("Latin V beside syllables") << "V gou1, da4 V"
                                                  << "V gōu, dà V";
        QTest::newRow("written together") << "Xi1an1 tian1e2 nv3er2 Xi1An1 ni3hao3 yi1dian3r5"
                                          << "Xī'ān tiān'é nǚ'ér Xī'Ān nǐhǎo yīdiǎnr";
        QTest::newRow("apart, or not both numbered") << "Xi1 an1 Xi1an"
                                                     << "Xī ān Xīan";
        QTest::newRow("marked kept") << "nǐ hao3"
                                     << "nǐ hao3";
        QTest::newRow("Latin-1 marks kept") << "mà ma3"
                                            << "mà ma3";
        QTest::newRow("last marked vowel kept") << "lǜ lv4"
                                                << "lǜ lv4";
        QTest::newRow("nasal and combining marks kept") << "ḿ ma3 e\u0301 ma3"
                                                        << "ḿ ma3 e\u0301 ma3";
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
        // Marked text is never converted again: exported lessons import unchanged.
        QCOMPARE(numberedToMarked(marked), marked);
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
        // With TAB, a quote opens a quoted field only when its closing quote ends the field.
        QTest::newRow("TAB: lone quote is text") << "英寸\tying1cun4\t\"inch\n尺\tchi3\tfoot\n"
                                                 << "\t"
                                                 << "英寸|ying1cun4|\"inch / 尺|chi3|foot";
        QTest::newRow("TAB: paired quotes in text") << "竹\tzhu2\t\"bamboo\" radical\n"
                                                    << "\t"
                                                    << "竹|zhu2|\"bamboo\" radical";
        QTest::newRow("TAB: quoted field") << "\"a\"\"b\"\tc\n\"d\"\r\n\"e\""
                                           << "\t"
                                           << "a\"b|c / d / e";
        QTest::newRow("TAB: quoted field over lines") << "x\t\"un\ndeux\"\ty\nz\n"
                                                      << "\t"
                                                      << "x|un\ndeux|y / z";
        QTest::newRow("TAB: quote inside a field") << "a\tb\"c\"\td\n"
                                                   << "\t"
                                                   << "a|b\"c\"|d";
        QTest::newRow("TAB: blank before a quote") << "a\t \"b\"\n"
                                                   << "\t"
                                                   << "a| \"b\"";
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
        // A doubled quote at the very end closes nothing.
        QVERIFY(parseDelimited(u"\"a\"\"", u',').value(0).unterminatedQuote);
    }

    void headerRecognition()
    {
        QVERIFY(looksLikeHeader({QStringLiteral("Pinyin"), QStringLiteral("x\xD840")}));
        QVERIFY(!looksLikeHeader({QStringLiteral("Pinyin"), QStringLiteral("\U00020000")}));
        QVERIFY(!looksLikeHeader({QStringLiteral("Pinyin, sens"), QStringLiteral("note")}));
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
        QTest::newRow("tab with an unmatched quote") << "英寸\tcun4\t\"inch\n尺\tchi3\tfoot\n"
                                                     << "\t";
        QTest::newRow("semicolon, quoted over lines") << "a;\"b\nc, d\";e\nf;g;h\n"
                                                      << ";";
        QTest::newRow("comma beside a stray semicolon") << "a,b;c\nd,e\n"
                                                        << ",";
        QTest::newRow("most splits when none splits all") << "a;b;c\nd\ne,f\n"
                                                          << ";";
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
        QTest::newRow("last before the surrogates")
            << QByteArray("\xed\x9f\xbf") << true << QString(QChar(0xD7FF)) << Q(0) << Q(0);
        QTest::newRow("encoded surrogate")
            << QByteArray("x\xed\xa0\x80") << false << "" << Q(1) << Q(1);
        QTest::newRow("binary with NUL") << QByteArray("ab\0cd", 5) << false << "" << Q(1) << Q(2);
        QTest::newRow("odd UTF-16")
            << QByteArray("\xff\xfe\x41\x00\x42", 5) << false << "" << Q(1) << Q(4);
        QTest::newRow("lead byte F5")
            << QByteArray("ok\n\xf5\x80\x80\x80") << false << "" << Q(2) << Q(3);
        QTest::newRow("lead byte F7")
            << QByteArray("\xf7\xbf\xbf\xbf") << false << "" << Q(1) << Q(0);
        QTest::newRow("largest 4-byte") << QByteArray("\xf4\x8f\xbf\xbf") << true
                                        << QString::fromUcs4(U"\U0010FFFF") << Q(0) << Q(0);
        QTest::newRow("past U+10FFFF")
            << QByteArray("\xf4\x90\x80\x80") << false << "" << Q(1) << Q(0);
        QTest::newRow("overlong 4-byte")
            << QByteArray("a\xf0\x80\x80\xaf") << false << "" << Q(1) << Q(1);
        QTest::newRow("overlong 3-byte")
            << QByteArray("\xe0\x9f\xbf") << false << "" << Q(1) << Q(0);
        QTest::newRow("smallest 3-byte after E0")
            << QByteArray("\xe0\xa0\x80") << true << QString(QChar(0x0800)) << Q(0) << Q(0);
        QTest::newRow("bad continuation")
            << QByteArray("\xe4\xbd\x41") << false << "" << Q(1) << Q(0);
        QTest::newRow("bad byte after a mark") << QByteArray("\xef\xbb\xbf"
                                                             "ab\n\xe9")
                                               << false << "" << Q(2) << Q(6);
        QTest::newRow("NUL in UTF-16 LE")
            << QByteArray("\xff\xfe\x41\x00\x0a\x00\x00\x00", 8) << false << "" << Q(2) << Q(6);
        QTest::newRow("NUL in UTF-16 BE")
            << QByteArray("\xfe\xff\x00\x41\x00\x00", 6) << false << "" << Q(1) << Q(4);
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

    void fieldMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("markup");
        QTest::addColumn<QString>("expected");
        const int html = int(FieldMarkup::Html);
        const int recognised = int(FieldMarkup::Recognised);
        const int text = int(FieldMarkup::Text);
        QTest::newRow("break between words")
            << "<b>élève</b>&nbsp;<br>étudiant" << recognised << "élève ; étudiant";
        QTest::newRow("divisions")
            << "un<div>deux</div><div>trois</div>" << recognised << "un ; deux ; trois";
        QTest::newRow("breaks at the ends") << "<br/><div> un </div><br />" << recognised << "un ";
        QTest::newRow("spans, italics, underline")
            << "<span class=\"tone3\">nǐ</span><i>a</i><U>b</U>" << recognised << "nǐab";
        QTest::newRow("the five references")
            << "&lt;a&gt; &amp; &quot;b&quot;&nbsp;c" << recognised << "<a> & \"b\" c";
        QTest::newRow("angle brackets as text") << "<Le Rêve dans le pavillon rouge>" << recognised
                                                << "<Le Rêve dans le pavillon rouge>";
        QTest::newRow("other markup as text")
            << "R&D, AT&T, &#233; &apos; <p>x</p><font>y</font><div class=a>" << recognised
            << "R&D, AT&T, &#233; &apos; <p>x</p><font>y</font><div class=a>";
        QTest::newRow("HTML: every tag")
            << "<p>un</p><p><font color=red>deux</font></p>" << html << "un ; deux";
        QTest::newRow("HTML: every reference")
            << "a &lt; b &amp;&#233;&#xE8;&apos;&#160;.&#00000233;&#x10FFFF;" << html
            << QStringLiteral("a < b &éè' .é\U0010FFFF");
        QTest::newRow("HTML: what opens nothing")
            << "1 < 2 & 3 &unknown; &#0; &#x110000; &#xD800; &#000000233;" << html
            << "1 < 2 & 3 &unknown; &#0; &#x110000; &#xD800; &#000000233;";
        QTest::newRow("text") << "<b>x</b> &amp;<br>" << text << "<b>x</b> &amp;<br>";
    }
    void fieldMarkup()
    {
        QFETCH(QString, text);
        QFETCH(int, markup);
        QTEST(htmlToText(text, FieldMarkup(markup)), "expected");
    }

    void lessonFieldCleaning()
    {
        QCOMPARE(lessonField(u"  un\tdeux\r\ntrois\u2028\v\f "), QStringLiteral("un deux  trois"));
    }

    void cedictLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("entry"); // empty: not a dictionary line
        QTest::newRow("senses joined") << "傳統 传统 [chuan2 tong3] /tradition/traditional/"
                                       << "传统|chuán tǒng|tradition ; traditional";
        QTest::newRow("erhua, several blanks")
            << "一點兒  一点儿  [yi1 dian3 r5]  / a little /bit/  \r"
            << "一点儿|yī diǎn r|a little ; bit";
        QTest::newRow("syllabic nasal") << "嘸 呒 [m2] /dialect: not have/"
                                        << "呒|ḿ|dialect: not have";
        QTest::newRow("Latin letter") << "V溝 V沟 [V gou1] /low neckline/"
                                      << "V沟|V gōu|low neckline";
        QTest::newRow("empty sense dropped") << "A A [A] /(slang) to steal//"
                                             << "A|A|(slang) to steal";
        QTest::newRow("one form") << "传统 [chuan2 tong3] /tradition/"
                                  << "";
        QTest::newRow("no slashes") << "傳統 传统 [chuan2 tong3] tradition"
                                    << "";
        QTest::newRow("no closing slash") << "傳統 传统 [chuan2 tong3] /tradition"
                                          << "";
        QTest::newRow("no closing bracket") << "傳統 传统 [chuan2 tong3 /tradition/"
                                            << "";
        QTest::newRow("no brackets") << "傳統 传统 chuan2 /tradition/"
                                     << "";
        QTest::newRow("no sense") << "傳統 传统 [chuan2 tong3] / /"
                                  << "";
        QTest::newRow("a TAB") << "傳統\t传统 [chuan2 tong3] /tradition/"
                               << "";
        QTest::newRow("nothing after the pinyin") << "傳統 传统 [chuan2]"
                                                  << "";
        QTest::newRow("a lone slash") << "傳統 传统 [chuan2] /"
                                      << "";
    }
    void cedictLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, entry);
        const std::optional<CedictEntry> parsed = parseCedictLine(line);
        QCOMPARE(parsed.has_value(), !entry.isEmpty());
        if (parsed) {
            const LessonEntry lesson = cedictLessonEntry(*parsed);
            QCOMPARE(lesson.chinese + u'|' + lesson.pinyin + u'|' + lesson.french, entry);
            QCOMPARE(cedictLessonEntry(*parsed, true).pinyin, parsed->pinyin);
        }
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

    void importHeaderNamingSomeFields_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("meaning named in English")
            << QByteArray("Hanzi;Pinyin;English\n你好;ni3 hao3;hello\n") << "你好|nǐ hǎo|hello"
            << QStringList();
        QTest::newRow("the others by position")
            << QByteArray("Pinyin\tRemarque\tEnglish\tExemple\nni3\t你\tyou\tx\n") << "你|nǐ|you"
            << QStringList {"le chinois : pris dans la colonne 2 (« Remarque »)"};
        QTest::newRow("no column left")
            << QByteArray("Pinyin,Mot\nni3,你\n") << "你|nǐ|"
            << QStringList {"pas de colonne pour le français et n'en a plus d'autre"};
        QTest::newRow("named columns")
            << QByteArray("#separator:tab\n#html:false\n#columns:Front\tPinyin\tBack\n"
                          "你\tni3\ta &amp; b\n")
            << "你|nǐ|a &amp; b"
            << QStringList {"le chinois : pris dans la colonne 1 (« Front »)",
                            "le français : pris dans la colonne 3 (« Back »)"};
    }
    void importHeaderNamingSomeFields()
    {
        // A field the header does not name is taken by position, and the learner is told.
        QFETCH(QByteArray, list);
        QFETCH(QStringList, notes);
        const ImportResult result = importText(list);
        QVERIFY(!result.fatal);
        QVERIFY(result.skipped.isEmpty());
        QTEST(entryTexts(result.entries).join(u'/'), "entry");
        QCOMPARE(result.notes.size(), notes.size());
        for (qsizetype i = 0; i < notes.size(); ++i) {
            QVERIFY2(result.notes[i].message.contains(notes[i]),
                     qPrintable(result.notes[i].message));
            QCOMPARE(result.notes[i].line, list.startsWith('#') ? 3 : 1);
        }
    }

    void importDirectives()
    {
        // A notes export: the note type, deck and tags columns are no fields of the lesson.
        ImportResult result = importText("#separator:Tab\n#html:true\n#notetype column:1\n"
                                         "#deck column:2\n#tags column:6\n"
                                         "Basique\tHSK 1\t<b>你好</b>\tni3 hao3\tbonjour<br>"
                                         "salut\tpoli\n");
        QVERIFY(!result.fatal);
        QCOMPARE(entryTexts(result.entries), QStringList {"你好|nǐ hǎo|bonjour ; salut"});
        QVERIFY(result.notes.isEmpty());

        result = importText("#separator:pipe\n#guid column:3\n你|ni3|Xy12|toi\n");
        QCOMPARE(entryTexts(result.entries), QStringList {"你|nǐ|toi"});
        result = importText("#separator:;\n你;ni3;toi, vous\n");
        QCOMPARE(entryTexts(result.entries), QStringList {"你|nǐ|toi, vous"});
        result = importText("#separator:tab\n#html:true");
        QVERIFY(!result.fatal && result.entries.isEmpty());

        // Directives that cannot be followed stop the import, naming the line.
        for (const QByteArray &bad :
             {QByteArray("#separator:dash\n你,ni3\n"), QByteArray("#a:b\n#html:yes\n你,ni3\n"),
              QByteArray("#tags column:x\n你,ni3\n"), QByteArray("#deck column:0\n你,ni3\n")}) {
            result = importText(bad);
            QVERIFY2(result.fatal
                         && result.fatal->contains(QStringLiteral("« liste.csv », ligne ")),
                     bad.constData());
            QVERIFY(result.entries.isEmpty());
        }
    }

    void importDictionary()
    {
        // The CEDICT line format, its comments first; a line in another form is reported.
        const QByteArray dictionary = "# CC-CEDICT\n#! version=1\n"
                                      "傳統 传统 [chuan2 tong3] /tradition/\r\n\n"
                                      "西安 西安 [Xi1 an1] /Xi'an/\n"
                                      "傳統,传统,chuan2\n";
        ImportResult result = importText(dictionary);
        QVERIFY(!result.fatal);
        QCOMPARE(entryTexts(result.entries),
                 (QStringList {"传统|chuán tǒng|tradition", "西安|Xī ān|Xi'an"}));
        QCOMPARE(result.skipped.size(), 1);
        QCOMPARE(result.skipped[0].line, 6);

        ImportOptions options;
        options.rawPinyin = true;
        QCOMPARE(importText(dictionary, options).entries.value(0).pinyin,
                 QStringLiteral("chuan2 tong3"));
        // Options for delimited lists do not apply; a delimiter given reads it as a list.
        options.header = true;
        QVERIFY(importText(dictionary, options).fatal);
        options = {};
        options.columns = {QStringLiteral("1")};
        QVERIFY(importText(dictionary, options).fatal);
        options = {};
        options.delimiter = u',';
        result = importText(dictionary, options);
        QVERIFY(!result.fatal);
        QCOMPARE(entryTexts(result.entries), QStringList {"傳統|传统|chuan2"});
    }

    void dictionaryFill()
    {
        ScopedWorkDir work;
        const QStringList words
            = {"行", "长", "張", "张", "传统", "傳統", "西安", "朋友", "你好", "无", "好"};
        const DictionaryRead first = dictionaryOf("# CC-CEDICT\n#! version=1\n"
                                                  "行 行 [xing2] /to walk/to go/\n"
                                                  "行 行 [hang2] /row/line/\n"
                                                  "行 行 [xing2] /capable/to go/\n"
                                                  "長 长 [chang2] /long/\n"
                                                  "長 长 [zhang3] /chief/\n"
                                                  "張 张 [Zhang1] /surname Zhang/\n"
                                                  "張 张 [zhang1] /sheet/\n"
                                                  "傳統 传统 [chuan2 tong3] /tradition/\n"
                                                  "西安 西安 [Xi1 an1] /Xi'an/\n"
                                                  "好 好 [hao3] /good/\n",
                                                  words);
        QVERIFY(!first.fatal);
        const DictionaryRead second = dictionaryOf("傳統 传统 [chuan2 tong3] /custom/\n"
                                                   "朋友 朋友 [peng2 you5] /friend/\n"
                                                   "好 好 [hao4] /to be fond of/\n",
                                                   words);
        QVERIFY(!second.fatal);
        QCOMPARE(first.entries, 10);
        QCOMPARE(second.words.bySimplified.value(QStringLiteral("朋友")).size(), 1);

        // Chinese, pinyin and French as the importer leaves them (the learner's pinyin in marks).
        const QList<LessonEntry> lesson = {
            {"傳統", "", ""}, // traditional form; the first dictionary wins
            {"朋友", "", ""}, // only the second knows it
            {"行", "", ""}, // every reading kept; one reading's entries joined
            {"行", "HÁNG", ""}, // the learner's reading chooses, case aside
            {"行", "xìng", ""}, // a tone no entry has: kept, reported
            {"张", "", ""}, // a name's and a word's entries: one reading
            {"长", "", "à moi"}, // the French written is kept
            {"西安", "xī'ān", ""}, // marks, an apostrophe: the reading still matches
            {"你好", "nǐ hǎo", "bonjour"}, // nothing to fill, nothing looked up
            {"无", "", ""}, // unknown
            {"好", "hào", ""}, // found in the second dictionary only for that reading
        };
        QList<ImportIssue> origins;
        for (qsizetype i = 0; i < lesson.size(); ++i)
            origins.append({QStringLiteral("liste.txt"), 3 + i, {}});
        QList<LessonEntry> entries = lesson;
        const DictionaryFill fill
            = fillEntries(entries, origins, {first.words, second.words}, false);
        QCOMPARE(
            entryTexts(entries),
            (QStringList {"傳統|chuán tǒng|tradition", "朋友|péng you|friend",
                          "行|xíng | háng|xíng : to walk ; to go ; capable | háng : row ; line",
                          "行|HÁNG|row ; line", "行|xìng|", "张|zhāng|surname Zhang ; sheet",
                          "长|cháng | zhǎng|à moi", "西安|xī'ān|Xi'an", "你好|nǐ hǎo|bonjour",
                          "无||", "好|hào|to be fond of"}));
        QCOMPARE(fill.filled, 6);
        QCOMPARE(fill.ambiguous, 2);
        QCOMPARE(fill.unknown, 1);
        QCOMPARE(fill.unmatched, 1);
        QCOMPARE(
            remarkTexts(fill.remarks),
            QStringLiteral(
                "liste.txt:5:行 : plusieurs lectures (xíng, háng), toutes gardées : à trier\n"
                "liste.txt:7:行 : le pinyin « xìng » n'est aucune des lectures du "
                "dictionnaire (xíng, háng) ; français laissé vide\n"
                "liste.txt:9:长 : plusieurs lectures (cháng, zhǎng), toutes gardées : à trier\n"
                "liste.txt:12:无 : inconnu des dictionnaires ; champs vides laissés vides"));

        // Pinyin as the dictionary writes it; the learner's own is not touched.
        entries = {{"朋友", "", ""}, {"行", "hang2", ""}};
        fillEntries(entries, origins, {first.words, second.words}, true);
        QCOMPARE(entryTexts(entries),
                 (QStringList {"朋友|peng2 you5|friend", "行|hang2|row ; line"}));
        // Tones count; spaces, case and tone numbers or marks do not.
        for (const char *written : {"Xi1an1", "XI1 AN1", "xī ān", "Xī'Ān"}) {
            entries = {{"西安", QString::fromUtf8(written), ""}};
            QCOMPARE(fillEntries(entries, origins, {first.words}, false).filled, 1);
        }
        entries = {{"西安", "xi1 an2", ""}, {"行", "xing", ""}};
        QCOMPARE(fillEntries(entries, origins, {first.words}, false).unmatched, 2);
    }

    void dictionaryFileReading()
    {
        ScopedWorkDir work;
        // A BOM, CR LF, CR and LF line ends, blank lines, no end to the last line; a '#' line
        // past the comments, a line of bytes that are not UTF-8, a line too long to hold.
        const QByteArray longLine = QByteArray(qsizetype(1) << 20, 'x') + " y [y1] /y/";
        DictionaryRead read = dictionaryOf("\xEF\xBB\xBF# comment\r\n#! x\r\n"
                                           "好 好 [hao3] /good/\r\n\r\n"
                                           "人 人 [ren2] /person/\r"
                                           "# late\n"
                                           "\xE5\xA5 好 [hao4] /x/\n"
                                               + longLine
                                               + "\n"
                                                 "大 大 [da4] /big/\n"
                                                 "好 好 [hao4] /to like/",
                                           {"好", "大"});
        QVERIFY(!read.fatal);
        QCOMPARE(read.entries, 4);
        QCOMPARE(read.words.bySimplified.value(QStringLiteral("好")).size(), 2);
        QCOMPARE(read.words.bySimplified.value(QStringLiteral("好")).last().senses,
                 QStringList {"to like"});
        QVERIFY(read.words.bySimplified.contains(QStringLiteral("大")));
        QVERIFY(!read.words.bySimplified.contains(QStringLiteral("人")));
        QCOMPARE(remarkTexts(read.remarks),
                 QStringLiteral("dict.u8:6:pas au format du dictionnaire (TRAD SIMP [pin1 yin1] "
                                "/sens/) ; ligne passée\n"
                                "dict.u8:7:pas du texte UTF-8 ; ligne passée\n"
                                "dict.u8:8:ligne de plus de 1 Mo ; ligne passée"));

        // An empty first line is a line of its own: the lines after it keep their numbers.
        read = dictionaryOf("\nbad\n好 好 [hao3] /good/\n", {"好"});
        QCOMPARE(read.entries, 1);
        QCOMPARE(remarkTexts(read.remarks),
                 QStringLiteral("dict.u8:2:pas au format du dictionnaire (TRAD SIMP [pin1 yin1] "
                                "/sens/) ; ligne passée"));

        // A line of exactly the most a line may hold, ending where a piece of the file ends: kept.
        QByteArray fullLine = QByteArray("长 长 [chang2] /");
        fullLine += QByteArray((qsizetype(1) << 20) - fullLine.size() - 1, 'a') + "/";
        read = dictionaryOf(fullLine + "\n", {"长"});
        QCOMPARE(read.entries, 1);
        QCOMPARE(remarkTexts(read.remarks), QString());

        // Lines that run across the pieces the file is read in, and the traditional forms.
        QByteArray big;
        for (int i = 0; i < 20000; ++i)
            big += QStringLiteral("詞%1 词%1 [ci2] /word %1/\n").arg(i).toUtf8();
        read = dictionaryOf(big, {"词7000", "詞19999", "词12345"});
        QVERIFY(!read.fatal);
        QCOMPARE(read.entries, 20000);
        QCOMPARE(read.remarks.size(), 0);
        QCOMPARE(read.words.bySimplified.size(), 2);
        QCOMPARE(read.words.byTraditional.value(QStringLiteral("詞19999")).value(0).senses,
                 QStringList {"word 19999"});
        QCOMPARE(read.words.bySimplified.value(QStringLiteral("词7000")).value(0).traditional,
                 QStringLiteral("詞7000"));

        // Compressed, the same; damaged or cut, refused.
        const QString corpus = QDir(dataDir).filePath(QStringLiteral("corpus/extrait_cedict.u8"));
        const QSet<QByteArray> wanted = {"行", "長", "了"};
        const DictionaryRead plain = readDictionary(corpus, wanted);
        const DictionaryRead gzip = readDictionary(corpus + QStringLiteral(".gz"), wanted);
        QVERIFY(!plain.fatal && !gzip.fatal);
        QVERIFY(plain.entries > 700);
        QCOMPARE(gzip.entries, plain.entries);
        QCOMPARE(gzip.remarks.size(), plain.remarks.size());
        QCOMPARE(gzip.words.bySimplified.value(QStringLiteral("行")).size(),
                 plain.words.bySimplified.value(QStringLiteral("行")).size());
        QVERIFY(plain.words.bySimplified.value(QStringLiteral("行")).size() >= 3);
        QVERIFY(plain.words.byTraditional.contains(QStringLiteral("長")));
        const QByteArray compressed = readBytes(corpus + QStringLiteral(".gz"));
        writeBytes(QStringLiteral("cut.u8.gz"), compressed.first(compressed.size() / 2));
        read = readDictionary(QStringLiteral("cut.u8.gz"), wanted);
        QVERIFY(read.fatal);
        QVERIFY2(read.fatal->contains(QStringLiteral("fichier compressé abîmé ou tronqué")),
                 qPrintable(*read.fatal));

        // Many bad lines: the first ones named, then how many more.
        QByteArray bad = "好 好 [hao3] /good/\n";
        for (int i = 0; i < 25; ++i)
            bad += "not a line\n";
        read = dictionaryOf(bad, {"好"});
        QCOMPARE(read.remarks.size(), 21);
        QCOMPARE(read.remarks[19].line, 21);
        QCOMPARE(read.remarks[20].line, 0);
        QCOMPARE(read.remarks[20].message,
                 QStringLiteral("5 autre(s) ligne(s) passée(s), pas au format du dictionnaire"));

        // Not a dictionary, too large, not a file: refused, naming the file.
        read = dictionaryOf("Chinois\tPinyin\n好\thao3\n", {"好"});
        QVERIFY(read.fatal && read.fatal->contains(QStringLiteral("pas un dictionnaire")));
        read = dictionaryOf("好 好 [hao3] /good/\n", {"好"}, 10);
        QVERIFY(read.fatal && read.fatal->contains(QStringLiteral("plus de 0 Mo")));
        QVERIFY(QDir().mkdir(QStringLiteral("dossier")));
        read = readDictionary(QStringLiteral("dossier"), wanted);
        QCOMPARE(read.fatal.value_or(QString()),
                 QStringLiteral("« dossier » : lecture impossible (c'est un dossier)"));
        read = readDictionary(QStringLiteral("absent.u8"), wanted);
        QVERIFY(read.fatal && read.fatal->contains(QStringLiteral("« absent.u8 »")));
    }

    void dictionaryKeepsShortLines()
    {
        // With a dictionary to fill them, a line of Chinese alone is an entry.
        const QByteArray list = "Chinois\tPinyin\tFrançais\n好\n人\tren2\n";
        QCOMPARE(importText(list).entries.size(), 0);
        ImportOptions options;
        options.shortLinesKept = true;
        const ImportResult result = importText(list, options);
        QCOMPARE(entryTexts(result.entries), (QStringList {"好||", "人|rén|"}));
        QCOMPARE(result.origins.size(), 2);
        QCOMPARE(result.origins[1].line, 3);
        QCOMPARE(result.origins[1].file, QStringLiteral("liste.csv"));
        QCOMPARE(importText("# x\n傳統 传统 [chuan2 tong3] /tradition/\n").origins.value(0).line,
                 2);
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
        const LessonEntry entry {QStringLiteral("老"), QStringLiteral("lǎo"),
                                 QStringLiteral("vieux")};
        QCOMPARE(lessonFileBytes({entry}), expected);
        // A lesson long enough to be written in many pieces: the BOM once, every entry whole.
        const QList<LessonEntry> many(100000, entry);
        QCOMPARE(lessonFileBytes(many), expected.first(2) + expected.sliced(2).repeated(100000));
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

    void roundTripKeepsEveryEntry_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Chinese beginning with #")
            << QStringList {"#1\tyī\tnuméro un", "二\tèr\tdeux"};
        QTest::newRow("markup characters as text")
            << QStringList {"红楼梦\tHóng lóu mèng\t<Le Rêve dans le pavillon rouge>",
                            "和\thé\tet &amp; &lt;b&gt; <br> &nbsp;"};
        QTest::newRow("first entry like a header")
            << QStringList {"word\twɜːd\tmot", "词\tcí\tmot"};
        QTest::newRow("first entry a header") << QStringList {"Chinois\tPinyin\tFrançais"};
        QTest::newRow("quotes") << QStringList {"\"引\"\tyǐn\t\"dire\" ou « parler »",
                                                "说\t\"\tinch\"", "尺\tchǐ\t\"pied"};
        QTest::newRow("marked pinyin") << QStringList {"西安\tXī'ān\tXi'an", "呣\tḿ\tinterjection",
                                                       "儿\tr\térhua", "嗯\tǹg\toui"};
        QTest::newRow("dictionary-like first line")
            << QStringList {"傳統 传统 [chuan2] /x/\tchuán\ttradition"};
        QTest::newRow("empty fields") << QStringList {"空\t\t"};
    }
    void roundTripKeepsEveryEntry()
    {
        // lesson -> export -> import gives the same bytes, whatever the fields hold.
        QFETCH(QStringList, lines);
        ScopedWorkDir work;
        const QByteArray lesson = lessonBytes(lines);
        writeBytes(QStringLiteral("a.txt"), lesson);
        QList<LessonEntry> entries;
        QCOMPARE(readLessonEntries(QStringLiteral("a.txt"), entries), std::nullopt);
        for (const bool header : {false, true}) {
            const ImportResult again = importText(exportText(entries, header));
            QVERIFY(!again.fatal);
            QVERIFY(again.skipped.isEmpty());
            QCOMPARE(lessonFileBytes(again.entries), lesson);
        }
    }

    void exportKeepsALeadingMarkCharacter()
    {
        // Imported text may begin with U+FEFF inside a line; at the head of an export it would be
        // read as a byte-order mark.
        const QList<LessonEntry> entries
            = {{QStringLiteral("\uFEFF一"), QStringLiteral("yī"), QStringLiteral("un")}};
        QCOMPARE(importText(exportText(entries)).entries, entries);
    }

    void outputFile()
    {
        ScopedWorkDir work;
        const QString path = work.filePath(QStringLiteral("leçon.txt"));
        QVERIFY(writeOutputFile(path, "one", false).ok());
        const platform::FileResult<> refused = writeOutputFile(path, "two", false);
        QVERIFY(!refused.ok() && refused.error().message.contains(QStringLiteral("--remplacer")));
        QCOMPARE(refused.error().code, EEXIST);
        QCOMPARE(readBytes(path), QByteArray("one"));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        QVERIFY(writeOutputFile(path, "three", true).ok());
        QCOMPARE(readBytes(path), QByteArray("three"));
        QCOMPARE(QFile::permissions(path),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                     | QFile::ReadGroup);

        // A read-only lesson is the learner's refusal, even with leave to replace.
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0440), 0);
        {
            const PermissionBitsBind bind;
            const platform::FileResult<> readOnly = writeOutputFile(path, "x", true);
            QCOMPARE(readOnly.ok() ? 0 : readOnly.error().code, EACCES);
        }
        QCOMPARE(readBytes(path), QByteArray("three"));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);

        // A full disk: the old file stays whole and no temporary file is left.
        {
            const FileSizeLimit limit(2);
            const platform::FileResult<> full = writeOutputFile(path, "four!", true);
            QVERIFY(!full.ok()
                    && full.error().message.contains(QStringLiteral("« %1 »").arg(path)));
            QVERIFY(
                !writeOutputFile(work.filePath(QStringLiteral("new.txt")), "four!", false).ok());
        }
        QCOMPARE(readBytes(path), QByteArray("three"));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList {QStringLiteral("leçon.txt")});

        // The learner's link is followed and stays a link; one to nothing is not written through.
        QCOMPARE(::symlink("leçon.txt", "lien.txt"), 0);
        QVERIFY(writeOutputFile(QStringLiteral("lien.txt"), "five", true).ok());
        QCOMPARE(QFileInfo(QStringLiteral("lien.txt")).symLinkTarget(), path);
        QCOMPARE(readBytes(path), QByteArray("five"));
        QCOMPARE(::symlink("absent.txt", "perdu.txt"), 0);
        const platform::FileResult<> dangling
            = writeOutputFile(QStringLiteral("perdu.txt"), "x", true);
        QVERIFY(!dangling.ok()
                && dangling.error().message.contains(
                    QStringLiteral("lien symbolique vers un fichier absent")));
        QVERIFY(!QFile::exists(QStringLiteral("absent.txt")));

        // Only a regular file is ever replaced, with or without leave to replace.
        QCOMPARE(::mkfifo("tube.txt", 0644), 0);
        for (const bool replace : {false, true}) {
            const platform::FileResult<> fifo
                = writeOutputFile(QStringLiteral("tube.txt"), "x", replace);
            QCOMPARE(fifo.ok() ? 0 : fifo.error().code, EINVAL);
            const platform::FileResult<> directory = writeOutputFile(work.path(), "x", replace);
            QCOMPARE(directory.ok() ? 0 : directory.error().code, EISDIR);
        }
        QVERIFY(QFileInfo(QStringLiteral("tube.txt")).exists()
                && !QFileInfo(QStringLiteral("tube.txt")).isFile());
        QVERIFY(!writeOutputFile(work.filePath(QStringLiteral("no/such.txt")), "x", true).ok());
    }

    void readersStopAtTheirCap()
    {
        // A small cap set for the test stands for the tool's 512 MB: each reader refuses a longer
        // file and names it.
        ScopedWorkDir work;
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << QStringLiteral("字%1\tzi%1\tmot %1").arg(i);
        const QByteArray lesson = lessonBytes(lines);
        writeBytes(work.filePath(QStringLiteral("a.txt")), lesson);
        const qsizetype cap = lesson.size() - 1;

        LessonCheck check = checkLesson(QStringLiteral("a.txt"), cap);
        QVERIFY(!check.ok());
        QVERIFY(!check.tooLarge.isEmpty());
        QVERIFY2(
            checkReport(check).contains(QStringLiteral("« a.txt » : listée, lecture impossible")),
            qPrintable(checkReport(check)));
        check = checkLesson(QStringLiteral("a.txt"), lesson.size());
        QVERIFY(check.ok());
        QCOMPARE(check.entries, 40);

        QList<LessonEntry> entries;
        const std::optional<QString> refused
            = readLessonEntries(QStringLiteral("a.txt"), entries, cap);
        QVERIFY(refused);
        QVERIFY2(refused->startsWith(QStringLiteral("« a.txt » : lecture impossible")),
                 qPrintable(*refused));
        QVERIFY(!readLessonEntries(QStringLiteral("a.txt"), entries, lesson.size()));
        QCOMPARE(entries.size(), 40);

        const QByteArray list = "好\thao3\tbien\n谢谢\txie4xie\tmerci\n";
        writeBytes(work.filePath(QStringLiteral("liste.tsv")), list);
        ImportResult result;
        importFiles({QStringLiteral("liste.tsv")}, {}, result, list.size() - 1);
        QVERIFY(result.fatal);
        QVERIFY2(result.fatal->startsWith(QStringLiteral("« liste.tsv » : lecture impossible")),
                 qPrintable(*result.fatal));
        QVERIFY(result.entries.isEmpty());
        ImportResult whole;
        importFiles({QStringLiteral("liste.tsv")}, {}, whole, list.size());
        QVERIFY(!whole.fatal);
        QCOMPARE(whole.entries.size(), 2);
    }

    void lessonWriterWritesInPieces()
    {
        // More than one piece's worth: the pieces joined are the format, and a sink's refusal
        // stops the writer.
        QStringList lines;
        QList<LessonEntry> entries;
        for (int i = 0; i < 40000; ++i) {
            lines << QStringLiteral("字%1\tzi%1\tmot %1").arg(i);
            entries.append({QStringLiteral("字%1").arg(i), QStringLiteral("zi%1").arg(i),
                            QStringLiteral("mot %1").arg(i)});
        }
        QByteArray joined;
        int pieces = 0;
        LessonWriter writer([&](QByteArrayView piece) {
            ++pieces;
            joined.append(piece);
            return 0;
        });
        for (const LessonEntry &entry : entries)
            QCOMPARE(writer.add(entry), 0);
        QCOMPARE(writer.finish(), 0);
        QVERIFY(pieces > 1);
        QVERIFY(joined == lessonBytes(lines));

        int calls = 0;
        LessonWriter refusing([&](QByteArrayView) { return ++calls == 1 ? ENOSPC : 0; });
        int firstError = 0;
        for (const LessonEntry &entry : entries) {
            if (const int error = refusing.add(entry); error != 0 && firstError == 0)
                firstError = error;
        }
        QCOMPARE(firstError, ENOSPC);
        QCOMPARE(refusing.finish(), ENOSPC);
        QCOMPARE(calls, 1);
    }

    void fileNamesKeepTheirBytes()
    {
        // Every byte value, alone and after valid UTF-8, comes back as it was given.
        for (int byte = 1; byte < 256; ++byte) {
            const QByteArray name = "é" + QByteArray(1, char(byte)) + "字.txt";
            QCOMPARE(file_names::bytesOf(file_names::fromArgument(name)), name);
        }
        const QByteArray broken("a\xE5\xAD.txt\xF0\x9F\x98"); // cut sequences
        QCOMPARE(file_names::bytesOf(file_names::fromArgument(broken)), broken);
        QCOMPARE(file_names::bytesOf(file_names::fromArgument("😀.txt")), QByteArray("😀.txt"));

        QCOMPARE(file_names::visible(file_names::fromArgument("bad\xFF\xFE.txt")),
                 QStringLiteral("bad\\xFF\\xFE.txt"));
        QCOMPARE(file_names::visible(QStringLiteral("a\x1B[31m\tb\x7F\u0085c 字😀")),
                 QStringLiteral("a\\x1B[31m\\x09b\\x7F\\u0085c 字😀"));
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

        // A last line without its end is a line too.
        writeBytes(work.filePath(QStringLiteral("end.txt")),
                   lessonBytes({QStringLiteral("字\tzi\tmot")})
                       + utf16le(QStringLiteral("字\tzi\tmot\tnote")));
        result = checkLesson(QStringLiteral("end.txt"));
        QCOMPARE(result.extra.size(), 1);
        QCOMPARE(result.extra[0].line, 2);
        QCOMPARE(result.extra[0].fields, 4);

        // Lines end as the reader ends them: a lone CR, CR LF, LF; a unit whose low byte is a TAB
        // or a CR (U+0909, U+0A0D) is text.
        writeBytes(work.filePath(QStringLiteral("ends.txt")),
                   QByteArray("\xFF\xFE", 2)
                       + utf16le(QStringLiteral("字\tzi\tmot\tx\r字\tzi\u0909\u0A0D\tmot\r\n\r\n"
                                                "字\ta\tb\tc\td\n字\tzi\tmot\tnote")));
        result = checkLesson(QStringLiteral("ends.txt"));
        QCOMPARE(result.entries, 4);
        QCOMPARE(result.extra.size(), 3);
        QCOMPARE(
            (QList<qsizetype> {result.extra[0].line, result.extra[1].line, result.extra[2].line}),
            (QList<qsizetype> {1, 4, 5}));
        QCOMPARE((QList<qsizetype> {result.extra[0].fields, result.extra[1].fields,
                                    result.extra[2].fields}),
                 (QList<qsizetype> {4, 5, 4}));

        // Odd length: listed, read up to the stray byte, not accepted.
        writeBytes(work.filePath(QStringLiteral("odd.txt")), bytes + 'x');
        result = checkLesson(QStringLiteral("odd.txt"));
        QVERIFY(result.listed);
        QCOMPARE(result.readError, QStringLiteral("Lecture au-delà de la fin de fichier"));
        QCOMPARE(result.entries, 8);
        QVERIFY(!result.ok());

        // Names and contents the program passes over.
        writeBytes(work.filePath(QStringLiteral("one.txt")), "\xFF");
        QVERIFY(checkLesson(QStringLiteral("one.txt"))
                    .notListedReason.contains(QStringLiteral("moins de deux octets")));
        writeBytes(work.filePath(QStringLiteral("a.csv")), bytes);
        QVERIFY(!checkLesson(QStringLiteral("a.csv")).ok());
        // Told apart by their first bytes: UTF-8 with its BOM, big-endian UTF-16.
        writeBytes(work.filePath(QStringLiteral("bom8.txt")), "\xEF\xBB\xBF你好\tnǐ hǎo\tbonjour");
        QVERIFY(checkLesson(QStringLiteral("bom8.txt"))
                    .notListedReason.startsWith(QStringLiteral("UTF-8 avec BOM")));
        writeBytes(work.filePath(QStringLiteral("be.txt")), QByteArray("\xFE\xFF\x4F\x60", 4));
        QVERIFY(checkLesson(QStringLiteral("be.txt"))
                    .notListedReason.startsWith(QStringLiteral("UTF-16 gros-boutiste")));
        writeBytes(work.filePath(QStringLiteral("utf8.txt")), "你好\tnǐ hǎo\tbonjour\r\n");
        result = checkLesson(QStringLiteral("utf8.txt"));
        QVERIFY(!result.listed);
        QVERIFY(result.notListedReason.contains(QStringLiteral("FF FE")));
        QVERIFY(checkReport(result).startsWith(
            QStringLiteral("« utf8.txt » : non listée par le programme (")));
        QVERIFY(!checkLesson(QStringLiteral("missing.txt")).ok());
        QVERIFY(QDir(work.path()).mkdir(QStringLiteral("dir.txt")));
        QVERIFY(!checkLesson(QStringLiteral("dir.txt")).ok());
    }
};

QTEST_APPLESS_MAIN(TestLessonTool)
#include "tst_lesson_tool.moc"
