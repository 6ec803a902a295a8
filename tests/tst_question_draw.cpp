#include "core/question_draw.h"
#include "core/random.h"
#include "core/word_list.h"

#include <QSet>
#include <QTest>

#include <array>

namespace {

/// Hand-built Chinese and French lists: unlike lessons read from files, they may hold empty texts.
struct Lists
{
    QStringList chTexts;
    QStringList frTexts;
    WordList ch;
    WordList fr;

    Lists() = default;
    Lists(const QStringList &chinese, const QStringList &french) : chTexts(chinese), frTexts(french)
    {
        for (const QString &text : chinese)
            ch.append(text);
        for (const QString &text : french)
            fr.append(text);
    }
    qsizetype count() const { return chTexts.size(); }
};

/// Entries "c<i>" / "f<i>" with distinct Chinese texts.
Lists distinctLists(int n)
{
    QStringList ch;
    QStringList fr;
    for (int i = 0; i < n; ++i) {
        ch << QStringLiteral("c%1").arg(i);
        fr << QStringLiteral("f%1").arg(i);
    }
    return {ch, fr};
}

/// n entries whose Chinese texts are taken in turn from the first `texts` of a pool, so that every
/// text appears several times.
Lists repeatedLists(int n, int texts)
{
    QStringList ch;
    QStringList fr;
    for (int i = 0; i < n; ++i) {
        ch << QStringLiteral("c%1").arg(i % texts);
        fr << QStringLiteral("f%1").arg(i);
    }
    return {ch, fr};
}

/// Lists of the shapes the drawing meets, by name.
Lists shape(const QByteArray &name)
{
    if (name == "distinct")
        return distinctLists(10);
    if (name == "exactly six")
        return distinctLists(6);
    if (name == "duplicates")
        return repeatedLists(20, 7);
    if (name == "blank Chinese")
        return {{" ", "a", " ", "b", "c", " ", "d", "e", "f"},
                {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8"}};
    // Meanings shared by several words: only Chinese texts must differ among the choices.
    if (name == "same French")
        return {{"a", "b", "c", "d", "e", "f", "g", "h"}, {"x", "x", "x", "y", "y", "z", "z", "z"}};
    if (name == "empty French")
        return {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"},
                {"fa", "", "fc", "fd", "", "ff", "fg", "", "fi", "fj"}};
    if (name == "duplicates and empty French")
        return {{"a", "a", "b", "c", "b", "d", "e", "f", "g", "a"},
                {"", "fa", "fb", "fc", "", "fd", "fe", "ff", "fg", "fa"}};
    qFatal("unknown shape %s", name.constData());
}

struct Pair
{
    const char *name;
    Field asked;
    Field answered;
};

constexpr std::array<Pair, 6> allPairs {{
    {"chinese->pinyin", Field::Chinese, Field::Pinyin},
    {"chinese->french", Field::Chinese, Field::French},
    {"pinyin->chinese", Field::Pinyin, Field::Chinese},
    {"pinyin->french", Field::Pinyin, Field::French},
    {"french->chinese", Field::French, Field::Chinese},
    {"french->pinyin", Field::French, Field::Pinyin},
}};

/// The drawing written out draw by draw: the asked entry (drawn again while French is asked or
/// answered and its French text is empty), the correct slot, then each other slot from the top,
/// drawing candidates until one passes the four rules.
QuestionSlots replay(const Lists &lists, Field asked, Field answered, Random &random)
{
    const auto n = quint32(lists.count());
    const bool frenchInvolved = asked == Field::French || answered == Field::French;
    QuestionSlots expected;
    expected.question = qsizetype(random.draw(n));
    while (frenchInvolved && lists.frTexts.at(expected.question).isEmpty())
        expected.question = qsizetype(random.draw(n));
    expected.correctSlot = int(random.draw(6));
    expected.entries[std::size_t(expected.correctSlot)] = expected.question;
    const QString &questionChinese = lists.chTexts.at(expected.question);
    for (int k = 0; k < 6; ++k) {
        if (k == expected.correctSlot)
            continue;
        for (;;) {
            const auto d = qsizetype(random.draw(n));
            const QString &chinese = lists.chTexts.at(d);
            const bool sameEntry = d == expected.question;
            const bool sameAsQuestion = chinese == questionChinese;
            const bool noFrenchShown = answered == Field::French && lists.frTexts.at(d).isEmpty();
            bool takenAbove = false;
            for (int j = 0; j < k; ++j)
                takenAbove
                    = takenAbove || chinese == lists.chTexts.at(expected.entries[std::size_t(j)]);
            const bool rejected = sameEntry || sameAsQuestion || noFrenchShown || takenAbove;
            if (!rejected) {
                expected.entries[std::size_t(k)] = d;
                break;
            }
        }
    }
    return expected;
}

QString describe(const QuestionSlots &drawn)
{
    QStringList entries;
    for (qsizetype entry : drawn.entries)
        entries << QString::number(entry);
    return QStringLiteral("q=%1 s=%2 [%3]")
        .arg(drawn.question)
        .arg(drawn.correctSlot)
        .arg(entries.join(u' '));
}

/// Checks what every question must satisfy; fails the current test otherwise.
void verifyWellFormed(const Lists &lists, const QuestionSlots &drawn)
{
    QVERIFY2(drawn.question >= 0 && drawn.question < lists.count(), qPrintable(describe(drawn)));
    QVERIFY2(drawn.correctSlot >= 0 && drawn.correctSlot < 6, qPrintable(describe(drawn)));
    QCOMPARE(drawn.entries[std::size_t(drawn.correctSlot)], drawn.question);
    QSet<QString> chinese;
    for (qsizetype entry : drawn.entries) {
        QVERIFY2(entry >= 0 && entry < lists.count(), qPrintable(describe(drawn)));
        chinese.insert(lists.chTexts.at(entry));
    }
    QVERIFY2(chinese.size() == 6, qPrintable(describe(drawn)));
}

double chiSquare(const QList<int> &counts)
{
    double total = 0;
    for (int c : counts)
        total += c;
    const double expected = total / double(counts.size());
    double sum = 0;
    for (int c : counts)
        sum += (c - expected) * (c - expected) / expected;
    return sum;
}

} // namespace

Q_DECLARE_METATYPE(Lists)
Q_DECLARE_METATYPE(Field)

class TestQuestionDraw : public QObject
{
    Q_OBJECT
private slots:
    void followsTheGenerator_data();
    void followsTheGenerator();
    void correctSlotIsUniform_data();
    void correctSlotIsUniform();
    void chineseTextsDiffer_data();
    void chineseTextsDiffer();
    void duplicateOfTheQuestionNeverShows();
    void frenchAnswerRule_data();
    void frenchAnswerRule();
    void canDraw_data();
    void canDraw();
    void largeListOfOneText();
};

void TestQuestionDraw::followsTheGenerator_data()
{
    QTest::addColumn<QByteArray>("shapeName");
    QTest::addColumn<Field>("asked");
    QTest::addColumn<Field>("answered");
    for (const char *name : {"distinct", "exactly six", "duplicates", "blank Chinese",
                             "same French", "empty French", "duplicates and empty French"}) {
        for (const Pair &pair : allPairs)
            QTest::addRow("%s, %s", name, pair.name)
                << QByteArray(name) << pair.asked << pair.answered;
    }
}

void TestQuestionDraw::followsTheGenerator()
{
    QFETCH(QByteArray, shapeName);
    QFETCH(Field, asked);
    QFETCH(Field, answered);
    const Lists lists = shape(shapeName);
    QVERIFY(canDrawQuestion(lists.ch, lists.fr, asked, answered));

    for (quint32 seed = 0; seed < 400; ++seed) {
        const quint32 start = seed * 2654435761U;
        Random drawn(start);
        Random replayed(start);
        const QuestionSlots got = drawQuestion(lists.ch, lists.fr, asked, answered, drawn);
        const QuestionSlots want = replay(lists, asked, answered, replayed);
        QVERIFY2(got.question == want.question && got.correctSlot == want.correctSlot
                     && got.entries == want.entries,
                 qPrintable(QStringLiteral("seed %1: got %2, want %3")
                                .arg(start)
                                .arg(describe(got), describe(want))));
        // Same number of draws taken: the next question starts from the same generator state.
        QCOMPARE(drawn.seed(), replayed.seed());
    }
}

void TestQuestionDraw::correctSlotIsUniform_data()
{
    QTest::addColumn<QByteArray>("shapeName");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("distinct") << QByteArray("distinct") << 20240601U;
    QTest::newRow("exactly six") << QByteArray("exactly six") << 7U;
    QTest::newRow("duplicates") << QByteArray("duplicates") << 0xC0FFEEU;
}

void TestQuestionDraw::correctSlotIsUniform()
{
    QFETCH(QByteArray, shapeName);
    QFETCH(quint32, seed);
    const Lists lists = shape(shapeName);
    Random random(seed);
    constexpr int questions = 30000;
    QList<int> perSlot(6, 0);
    QList<int> perEntry(int(lists.count()), 0);
    for (int i = 0; i < questions; ++i) {
        const QuestionSlots drawn
            = drawQuestion(lists.ch, lists.fr, Field::Chinese, Field::French, random);
        ++perSlot[drawn.correctSlot];
        ++perEntry[int(drawn.question)];
    }
    // Loose bounds (far beyond the 0.1 % quantiles of 11 and 28): only a skew fails.
    const double slotChi = chiSquare(perSlot);
    QVERIFY2(slotChi < 30, qPrintable(QStringLiteral("chi-square %1").arg(slotChi)));
    const double entryChi = chiSquare(perEntry);
    QVERIFY2(entryChi < 3 * double(lists.count()) + 30,
             qPrintable(QStringLiteral("chi-square %1").arg(entryChi)));
    for (int count : perSlot)
        QVERIFY(count > questions / 6 * 9 / 10);
}

void TestQuestionDraw::chineseTextsDiffer_data()
{
    QTest::addColumn<Lists>("lists");
    QTest::addColumn<Field>("asked");
    QTest::addColumn<Field>("answered");
    const QStringList sameTwice {"a", "b", "c", "d", "e", "f", "a", "b", "c", "d", "e", "f"};
    QStringList french;
    for (int i = 0; i < sameTwice.size(); ++i)
        french << QStringLiteral("f%1").arg(i);
    for (const Pair &pair : allPairs) {
        QTest::addRow("duplicate lines, %s", pair.name)
            << repeatedLists(30, 8) << pair.asked << pair.answered;
        QTest::addRow("same word in two lessons, %s", pair.name)
            << Lists(sameTwice, french) << pair.asked << pair.answered;
        QTest::addRow("blank Chinese, %s", pair.name)
            << shape("blank Chinese") << pair.asked << pair.answered;
        QTest::addRow("same French, %s", pair.name)
            << shape("same French") << pair.asked << pair.answered;
    }
}

void TestQuestionDraw::chineseTextsDiffer()
{
    QFETCH(Lists, lists);
    QFETCH(Field, asked);
    QFETCH(Field, answered);
    Random random(99);
    QSet<qsizetype> seen;
    for (int i = 0; i < 3000; ++i) {
        const QuestionSlots drawn = drawQuestion(lists.ch, lists.fr, asked, answered, random);
        verifyWellFormed(lists, drawn);
        if (QTest::currentTestFailed())
            return;
        for (qsizetype entry : drawn.entries)
            seen.insert(entry);
    }
    // Every entry is eligible here: duplicates are only kept apart within one question.
    QCOMPARE(seen.size(), lists.count());
}

void TestQuestionDraw::duplicateOfTheQuestionNeverShows()
{
    // Entries 0 and 1 share their Chinese text and differ in French.
    const Lists lists({"重", "重", "a", "b", "c", "d", "e"},
                      {"lourd", "répéter", "fa", "fb", "fc", "fd", "fe"});
    Random random(4242);
    int asQuestion[2] = {0, 0};
    for (int i = 0; i < 4000; ++i) {
        const QuestionSlots drawn
            = drawQuestion(lists.ch, lists.fr, Field::Chinese, Field::French, random);
        const bool has0 = std::count(drawn.entries.begin(), drawn.entries.end(), 0) > 0;
        const bool has1 = std::count(drawn.entries.begin(), drawn.entries.end(), 1) > 0;
        QVERIFY2(has0 != has1, qPrintable(describe(drawn)));
        if (drawn.question < 2)
            ++asQuestion[drawn.question];
    }
    QVERIFY(asQuestion[0] > 0 && asQuestion[1] > 0);
}

void TestQuestionDraw::frenchAnswerRule_data()
{
    QTest::addColumn<Field>("asked");
    QTest::addColumn<Field>("answered");
    QTest::addColumn<bool>("mayBeQuestion");
    QTest::addColumn<bool>("mayBeOtherChoice");
    // Entries with an empty French text: never shown when French is answered, never asked when
    // French is asked or answered, and otherwise as eligible as any.
    QTest::newRow("chinese->french") << Field::Chinese << Field::French << false << false;
    QTest::newRow("pinyin->french") << Field::Pinyin << Field::French << false << false;
    QTest::newRow("french->chinese") << Field::French << Field::Chinese << false << true;
    QTest::newRow("french->pinyin") << Field::French << Field::Pinyin << false << true;
    QTest::newRow("chinese->pinyin") << Field::Chinese << Field::Pinyin << true << true;
    QTest::newRow("pinyin->chinese") << Field::Pinyin << Field::Chinese << true << true;
}

void TestQuestionDraw::frenchAnswerRule()
{
    QFETCH(Field, asked);
    QFETCH(Field, answered);
    QFETCH(bool, mayBeQuestion);
    QFETCH(bool, mayBeOtherChoice);
    const Lists lists = shape("empty French");
    Random random(31337);
    int emptyAsQuestion = 0;
    int emptyAsOther = 0;
    for (int i = 0; i < 3000; ++i) {
        const QuestionSlots drawn = drawQuestion(lists.ch, lists.fr, asked, answered, random);
        verifyWellFormed(lists, drawn);
        if (QTest::currentTestFailed())
            return;
        for (int k = 0; k < 6; ++k) {
            if (!lists.frTexts.at(drawn.entries[std::size_t(k)]).isEmpty())
                continue;
            if (k == drawn.correctSlot)
                ++emptyAsQuestion;
            else
                ++emptyAsOther;
        }
    }
    QCOMPARE(emptyAsQuestion > 0, mayBeQuestion);
    QCOMPARE(emptyAsOther > 0, mayBeOtherChoice);
}

void TestQuestionDraw::canDraw_data()
{
    QTest::addColumn<Lists>("lists");
    QTest::addColumn<Field>("asked");
    QTest::addColumn<Field>("answered");
    QTest::addColumn<bool>("expected");

    const auto rows = [](const char *name, const Lists &lists, bool chineseToPinyin,
                         bool chineseToFrench, bool frenchToPinyin) {
        QTest::addRow("%s, chinese->pinyin", name)
            << lists << Field::Chinese << Field::Pinyin << chineseToPinyin;
        QTest::addRow("%s, chinese->french", name)
            << lists << Field::Chinese << Field::French << chineseToFrench;
        QTest::addRow("%s, pinyin->french", name)
            << lists << Field::Pinyin << Field::French << chineseToFrench;
        QTest::addRow("%s, french->pinyin", name)
            << lists << Field::French << Field::Pinyin << frenchToPinyin;
        QTest::addRow("%s, french->chinese", name)
            << lists << Field::French << Field::Chinese << frenchToPinyin;
    };
    rows("empty", Lists(), false, false, false);
    rows("five entries", distinctLists(5), false, false, false);
    rows("exactly six", distinctLists(6), true, true, true);
    rows("six entries, five texts",
         Lists({"a", "b", "c", "d", "e", "a"}, {"1", "2", "3", "4", "5", "6"}), false, false,
         false);
    rows("same word twice", repeatedLists(10, 5), false, false, false);
    rows("many entries, five texts", repeatedLists(500, 5), false, false, false);
    rows("several blank Chinese",
         Lists({" ", "a", " ", "b", " ", "c", "d"}, {"1", "2", "3", "4", "5", "6", "7"}), false,
         false, false);
    // One blank text is a text like any other.
    rows("one blank Chinese", Lists({" ", "a", "b", "c", "d", "e"}, {"1", "2", "3", "4", "5", "6"}),
         true, true, true);
    rows("duplicates, six texts", repeatedLists(40, 6), true, true, true);
    rows("six texts at the end",
         Lists({"a", "a", "a", "a", "a", "b", "c", "d", "e", "f"},
               {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}),
         true, true, true);
    // Six texts only with the entries whose French is empty: enough unless French is answered.
    rows("sixth text without French",
         Lists({"a", "b", "c", "d", "e", "f", "a"}, {"1", "2", "3", "4", "5", "", "7"}), true,
         false, true);
    // No entry can be asked when French is involved.
    rows("no French at all", Lists({"a", "b", "c", "d", "e", "f"}, {"", "", "", "", "", ""}), true,
         false, false);
    rows("one French", Lists({"a", "b", "c", "d", "e", "f"}, {"", "", "", "x", "", ""}), true,
         false, true);
}

void TestQuestionDraw::canDraw()
{
    QFETCH(Lists, lists);
    QFETCH(Field, asked);
    QFETCH(Field, answered);
    QFETCH(bool, expected);
    QCOMPARE(canDrawQuestion(lists.ch, lists.fr, asked, answered), expected);
    if (!expected)
        return;
    // Accepted lists always finish drawing, with six different texts.
    Random random(5);
    for (int i = 0; i < 200; ++i) {
        verifyWellFormed(lists, drawQuestion(lists.ch, lists.fr, asked, answered, random));
        if (QTest::currentTestFailed())
            return;
    }
}

void TestQuestionDraw::largeListOfOneText()
{
    constexpr int entries = 100000;
    QStringList chinese(entries, QStringLiteral("同"));
    QStringList french;
    french.reserve(entries);
    for (int i = 0; i < entries; ++i)
        french << QStringLiteral("f%1").arg(i);
    // Five texts in all: the common one and four others spread over the list.
    for (int i = 0; i < 4; ++i)
        chinese[entries / 2 + i * 1000] = QStringLiteral("c%1").arg(i);
    const Lists refused(chinese, french);
    for (const Pair &pair : allPairs)
        QVERIFY2(!canDrawQuestion(refused.ch, refused.fr, pair.asked, pair.answered), pair.name);

    // One more text, near the end: accepted, and drawing ends with six different texts.
    chinese[entries - 3] = QStringLiteral("c4");
    const Lists accepted(chinese, french);
    Random random(77);
    for (const Pair &pair : allPairs) {
        QVERIFY2(canDrawQuestion(accepted.ch, accepted.fr, pair.asked, pair.answered), pair.name);
        verifyWellFormed(accepted,
                         drawQuestion(accepted.ch, accepted.fr, pair.asked, pair.answered, random));
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_APPLESS_MAIN(TestQuestionDraw)
#include "tst_question_draw.moc"
