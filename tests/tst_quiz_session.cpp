#include "core/quiz_session.h"
#include "core/random.h"
#include "core/word_list.h"

#include <QTest>

namespace {

/// The three word lists of a learner's lessons, as rows "Chinese\tpinyin\tFrench".
struct Lessons
{
    WordList ch;
    WordList pin;
    WordList fr;

    explicit Lessons(const QStringList &rows)
    {
        for (const QString &row : rows) {
            const QStringList fields = row.split(QLatin1Char('\t'));
            ch.append(fields.at(0));
            pin.append(fields.at(1));
            fr.append(fields.at(2));
        }
    }
};

/// n entries "字<i>", "pin<i>", "fr<i>".
QStringList numbered(int n, const QString &chinese = QStringLiteral("字"))
{
    QStringList rows;
    for (int i = 0; i < n; ++i)
        rows << QStringLiteral("%1%2\tpin%2\tfr%2").arg(chinese).arg(i);
    return rows;
}

QStringList texts(const std::array<QStringView, QuestionSlots::count> &views)
{
    QStringList shown;
    for (QStringView view : views)
        shown << view.toString();
    return shown;
}

} // namespace

class TestQuizSession : public QObject
{
    Q_OBJECT
private slots:
    void refusal_data();
    void refusal();
    void questionIsTheFirstDrawAndItsSlotTheSecond();
    void questionShowsTheChosenFields_data();
    void questionShowsTheChosenFields();
    void sixEntriesShowAllSix();
    void scoreOfTwentyAnswers();
    void resetKeepsTheCorrectSlot();
};

void TestQuizSession::refusal_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("expected");
    const auto none = int(QuizRefusal::None);
    const auto noLesson = int(QuizRefusal::NoLesson);
    const auto tooFew = int(QuizRefusal::TooFewChoices);
    QTest::newRow("no entry") << QStringList() << noLesson;
    QTest::newRow("five entries") << numbered(3) + numbered(2, QStringLiteral("词")) << tooFew;
    QTest::newRow("six entries, five texts")
        << numbered(5) + QStringList {QStringLiteral("字0\tzi\tautre sens")} << tooFew;
    QTest::newRow("same words in two lessons") << numbered(5) + numbered(5) << tooFew;
    QTest::newRow("blank Chinese fields")
        << numbered(4) + QStringList {"\tpinA\tfrA", "\tpinB\tfrB", "\tpinC\tfrC"} << tooFew;
    QTest::newRow("six entries") << numbered(6) << none;
}

void TestQuizSession::refusal()
{
    QFETCH(QStringList, rows);
    QFETCH(int, expected);
    Lessons lessons(rows);
    Random random(99);
    const QuizSession quiz(lessons.ch, lessons.pin, lessons.fr, random);
    for (Field asked : {Field::Chinese, Field::Pinyin, Field::French}) {
        for (Field answered : {Field::Chinese, Field::Pinyin, Field::French}) {
            if (asked != answered)
                QCOMPARE(int(quiz.refusal(asked, answered)), expected);
        }
    }
    // Deciding draws nothing.
    QCOMPARE(random.seed(), 99U);
}

void TestQuizSession::questionIsTheFirstDrawAndItsSlotTheSecond()
{
    Lessons lessons(numbered(10));
    Random random(1234);
    QuizSession quiz(lessons.ch, lessons.pin, lessons.fr, random);
    const QuizQuestion shown = quiz.ask(Field::Chinese, Field::French);

    Random replayed(1234);
    const quint32 q = replayed.draw(10);
    const int slot = int(replayed.draw(6));
    QCOMPARE(shown.question.toString(), QStringLiteral("字%1").arg(q));
    QCOMPARE(quiz.correctSlot(), slot);
    QCOMPARE(shown.choices[std::size_t(slot)].toString(), QStringLiteral("fr%1").arg(q));
    QCOMPARE(shown.solution.toString(), QStringLiteral("pin%1").arg(q));
    QVERIFY(quiz.isCorrect(slot));
    QVERIFY(!quiz.isCorrect((slot + 1) % 6));
    QVERIFY(!quiz.isCorrect(-1));
    // The same draws as the question drawing alone: what a seeded learner sees stays the same.
    Random direct(1234);
    const QuestionSlots drawn
        = drawQuestion(lessons.ch, lessons.fr, Field::Chinese, Field::French, direct);
    QCOMPARE(random.seed(), direct.seed());
    for (std::size_t k = 0; k < drawn.entries.size(); ++k)
        QCOMPARE(shown.choices[k].toString(), QStringLiteral("fr%1").arg(drawn.entries[k]));
}

void TestQuizSession::questionShowsTheChosenFields_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("questionPrefix");
    QTest::addColumn<QString>("choicePrefix");
    QTest::addColumn<QString>("solutionPrefix");
    const auto ch = int(Field::Chinese);
    const auto pin = int(Field::Pinyin);
    const auto fr = int(Field::French);
    QTest::newRow("chinese->pinyin") << ch << pin << "字"
                                     << "pin"
                                     << "fr";
    QTest::newRow("chinese->french") << ch << fr << "字"
                                     << "fr"
                                     << "pin";
    QTest::newRow("pinyin->chinese") << pin << ch << "pin"
                                     << "字"
                                     << "fr";
    QTest::newRow("pinyin->french") << pin << fr << "pin"
                                    << "fr"
                                    << "字";
    QTest::newRow("french->chinese") << fr << ch << "fr"
                                     << "字"
                                     << "pin";
    QTest::newRow("french->pinyin") << fr << pin << "fr"
                                    << "pin"
                                    << "字";
}

void TestQuizSession::questionShowsTheChosenFields()
{
    QFETCH(int, asked);
    QFETCH(int, answered);
    QFETCH(QString, questionPrefix);
    QFETCH(QString, choicePrefix);
    QFETCH(QString, solutionPrefix);
    Lessons lessons(numbered(12));
    Random random(555);
    QuizSession quiz(lessons.ch, lessons.pin, lessons.fr, random);
    const QuizQuestion shown = quiz.ask(Field(asked), Field(answered));

    Random replayed(555);
    const quint32 q = replayed.draw(12);
    const int slot = int(replayed.draw(6));
    QCOMPARE(quiz.correctSlot(), slot);
    QCOMPARE(shown.question.toString(), questionPrefix + QString::number(q));
    QCOMPARE(shown.choices[std::size_t(slot)].toString(), choicePrefix + QString::number(q));
    QCOMPARE(shown.solution.toString(), solutionPrefix + QString::number(q));
    for (const QString &caption : texts(shown.choices))
        QVERIFY2(caption.startsWith(choicePrefix), qPrintable(caption));
}

void TestQuizSession::sixEntriesShowAllSix()
{
    Lessons lessons(numbered(6));
    Random random(8);
    QuizSession quiz(lessons.ch, lessons.pin, lessons.fr, random);
    const QStringList all {"fr0", "fr1", "fr2", "fr3", "fr4", "fr5"};
    for (int i = 0; i < 20; ++i) {
        QStringList shown = texts(quiz.ask(Field::Chinese, Field::French).choices);
        shown.sort();
        QCOMPARE(shown, all);
    }
}

void TestQuizSession::scoreOfTwentyAnswers()
{
    Lessons lessons(numbered(6));
    Random random;
    QuizSession quiz(lessons.ch, lessons.pin, lessons.fr, random);
    QCOMPARE(quiz.scoreText(), QStringLiteral("0 / 0"));
    int right = 0;
    for (int i = 0; i < 20; ++i) {
        const bool answerRight = i % 5 < 3;
        quiz.record(answerRight);
        right += answerRight ? 1 : 0;
        QCOMPARE(quiz.scoreText(), QStringLiteral("%1 / %2").arg(right).arg(i + 1));
    }
    QCOMPARE(quiz.scoreText(), QStringLiteral("12 / 20"));
    QCOMPARE(quiz.rightCount(), 12);
    QCOMPARE(quiz.answeredCount(), 20);
}

void TestQuizSession::resetKeepsTheCorrectSlot()
{
    Lessons lessons(numbered(8));
    Random random(3);
    QuizSession quiz(lessons.ch, lessons.pin, lessons.fr, random);
    quiz.ask(Field::French, Field::Chinese);
    const int slot = quiz.correctSlot();
    quiz.record(true);
    quiz.record(false);
    quiz.resetScore();
    QCOMPARE(quiz.scoreText(), QStringLiteral("0 / 0"));
    QCOMPARE(quiz.answeredCount(), 0);
    QCOMPARE(quiz.rightCount(), 0);
    // A click on the question still standing is scored against the same slot.
    QCOMPARE(quiz.correctSlot(), slot);
    QVERIFY(quiz.isCorrect(slot));
}

QTEST_APPLESS_MAIN(TestQuizSession)
#include "tst_quiz_session.moc"
