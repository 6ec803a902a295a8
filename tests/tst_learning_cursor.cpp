#include "core/learning_cursor.h"
#include "core/random.h"
#include "core/word_list.h"

#include <QTest>

#include <algorithm>

namespace {

/// A Chinese list of n entries "字0", "字1", ...
WordList chineseList(int n)
{
    WordList list;
    for (int i = 0; i < n; ++i)
        list.append(QStringLiteral("字%1").arg(i));
    list.tag = -1;
    return list;
}

} // namespace

class TestLearningCursor : public QObject
{
    Q_OBJECT
private slots:
    void sequentialCycleWrapsBothWays();
    void counterText_data();
    void counterText();
    void randomStepsFollowTheGeneratorAndHoldNoPosition();
    void oneEntryOnly();
    void emptyListsGiveNoStep();
    void forgetDropsThePosition();
};

void TestLearningCursor::sequentialCycleWrapsBothWays()
{
    WordList ch = chineseList(3);
    Random random(1);
    LearningCursor cursor(ch, random);

    struct Expected
    {
        bool forward;
        int entry;
    };
    // To the end and round to the first; back round to the last; then forward again.
    const Expected steps[] = {{true, 0},  {true, 1},  {true, 2},  {true, 0},
                              {false, 2}, {false, 1}, {false, 0}, {true, 1}};
    for (const Expected &expected : steps) {
        const std::optional<CardStep> step
            = expected.forward ? cursor.next(false) : cursor.previous();
        QVERIFY(step);
        QCOMPARE(step->entry, expected.entry);
        QCOMPARE(step->counter, QStringLiteral("%1/ 3").arg(expected.entry + 1));
        QCOMPARE(ch.tag, expected.entry);
    }
    // Sequential steps draw nothing.
    QCOMPARE(random.seed(), 1U);

    // "Précédent" from no position goes to the last entry.
    cursor.forget();
    const std::optional<CardStep> last = cursor.previous();
    QVERIFY(last);
    QCOMPARE(last->entry, 2);
    QCOMPARE(last->counter, QStringLiteral("3/ 3"));
}

void TestLearningCursor::counterText_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("forward");
    QTest::addColumn<int>("back");
    QTest::addColumn<QString>("expected");
    QTest::newRow("third of 25") << 25 << 3 << 0 << QStringLiteral("3/ 25");
    QTest::newRow("twelfth of 40") << 40 << 12 << 0 << QStringLiteral("12/ 40");
    QTest::newRow("tenth of 10") << 10 << 10 << 0 << QStringLiteral("10/ 10");
    QTest::newRow("no grouping") << 1234 << 0 << 1 << QStringLiteral("1234/ 1234");
}

void TestLearningCursor::counterText()
{
    QFETCH(int, entries);
    QFETCH(int, forward);
    QFETCH(int, back);
    QFETCH(QString, expected);
    WordList ch = chineseList(entries);
    Random random;
    LearningCursor cursor(ch, random);
    std::optional<CardStep> step;
    for (int i = 0; i < forward; ++i)
        step = cursor.next(false);
    for (int i = 0; i < back; ++i)
        step = cursor.previous();
    QVERIFY(step);
    QCOMPARE(step->counter, expected);
}

void TestLearningCursor::randomStepsFollowTheGeneratorAndHoldNoPosition()
{
    WordList ch = chineseList(7);
    const std::uint32_t seed = 0x9E3779B9U;
    Random random(seed);
    Random expected(seed);
    LearningCursor cursor(ch, random);
    QList<qsizetype> seen;
    for (int i = 0; i < 40; ++i) {
        // A random step leaves no position behind, whatever was held before it.
        ch.tag = i % 7;
        const std::optional<CardStep> step = cursor.next(true);
        QVERIFY(step);
        QCOMPARE(step->entry, qsizetype(expected.draw(7)));
        QCOMPARE(step->counter, QString());
        QCOMPARE(ch.tag, -1);
        seen.append(step->entry);
    }
    // One draw a step, no more.
    QCOMPARE(random.seed(), expected.seed());
    // Forty draws over seven entries reach more than one of them.
    std::sort(seen.begin(), seen.end());
    QVERIFY(std::unique(seen.begin(), seen.end()) - seen.begin() > 1);
}

void TestLearningCursor::oneEntryOnly()
{
    WordList ch = chineseList(1);
    Random random(5);
    LearningCursor cursor(ch, random);
    for (int i = 0; i < 3; ++i) {
        const std::optional<CardStep> step = cursor.next(true);
        QVERIFY(step);
        QCOMPARE(step->entry, 0);
    }
    for (bool forward : {true, true, false, false, true}) {
        const std::optional<CardStep> step = forward ? cursor.next(false) : cursor.previous();
        QVERIFY(step);
        QCOMPARE(step->entry, 0);
        QCOMPARE(step->counter, QStringLiteral("1/ 1"));
        QCOMPARE(ch.tag, 0);
    }
}

void TestLearningCursor::emptyListsGiveNoStep()
{
    WordList ch;
    ch.tag = 4;
    Random random(9);
    LearningCursor cursor(ch, random);
    QVERIFY(!cursor.next(true));
    QVERIFY(!cursor.next(false));
    QVERIFY(!cursor.previous());
    // Nothing drawn and nothing moved.
    QCOMPARE(random.seed(), 9U);
    QCOMPARE(ch.tag, 4);
}

void TestLearningCursor::forgetDropsThePosition()
{
    WordList ch = chineseList(5);
    Random random;
    LearningCursor cursor(ch, random);
    QCOMPARE(cursor.next(false)->entry, 0);
    QCOMPARE(cursor.next(false)->entry, 1);
    cursor.forget();
    QCOMPARE(ch.tag, -1);
    const std::optional<CardStep> step = cursor.next(false);
    QCOMPARE(step->entry, 0);
    QCOMPARE(step->counter, QStringLiteral("1/ 5"));
}

QTEST_APPLESS_MAIN(TestLearningCursor)
#include "tst_learning_cursor.moc"
