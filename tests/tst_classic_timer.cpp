#include "toolkit/classic_timer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// Long intervals with blocking sleeps (no event delivered meanwhile) where only the countdown's
// start matters; real short waits only where the ticks themselves are the point.
class TestClassicTimer : public QObject
{
    Q_OBJECT
private slots:
    void createdStopped();
    void enablingStartsAFreshCountdown();
    void disablingCancels();
    void sameValueSetsDoNotRestart_data();
    void sameValueSetsDoNotRestart();
    void newIntervalRestartsARunningCount_data();
    void newIntervalRestartsARunningCount();
    void intervalWhileDisabledStartsNothing();
    void intervalZeroNeverFires();
    void repeatsEveryIntervalWhileEnabled();
};

void TestClassicTimer::createdStopped()
{
    toolkit::ClassicTimer timer(250);
    QCOMPARE(timer.interval(), 250);
    QVERIFY(!timer.enabled());
    QVERIFY(!timer.isCounting());
    QCOMPARE(timer.remainingTime(), -1);
}

void TestClassicTimer::enablingStartsAFreshCountdown()
{
    toolkit::ClassicTimer timer(1000);
    timer.setEnabled(true);
    QVERIFY(timer.enabled());
    QVERIFY(timer.isCounting());
    // Margins leave room for a loaded machine.
    QVERIFY2(timer.remainingTime() > 700, qPrintable(QString::number(timer.remainingTime())));
    QVERIFY(timer.remainingTime() <= 1000);

    // Enabled again after a cancel, the count starts over rather than resuming (which would
    // leave at most 600 ms).
    QTest::qSleep(400);
    timer.setEnabled(false);
    timer.setEnabled(true);
    QVERIFY(timer.remainingTime() > 700);
}

void TestClassicTimer::disablingCancels()
{
    toolkit::ClassicTimer timer(20);
    QSignalSpy ticks(&timer, &toolkit::ClassicTimer::timeout);
    timer.setEnabled(true);
    timer.setEnabled(false);
    QVERIFY(!timer.isCounting());
    QCOMPARE(timer.remainingTime(), -1);
    QTest::qWait(80);
    QCOMPARE(ticks.count(), 0);
}

void TestClassicTimer::sameValueSetsDoNotRestart_data()
{
    QTest::addColumn<bool>("viaInterval");
    QTest::newRow("enabled again") << false;
    QTest::newRow("same interval") << true;
}

void TestClassicTimer::sameValueSetsDoNotRestart()
{
    QFETCH(bool, viaInterval);
    toolkit::ClassicTimer timer(1000);
    timer.setEnabled(true);
    QTest::qSleep(120);
    const int before = timer.remainingTime();
    QVERIFY2(before <= 900, qPrintable(QString::number(before)));

    if (viaInterval)
        timer.setInterval(1000);
    else
        timer.setEnabled(true);

    QVERIFY(timer.enabled());
    QCOMPARE(timer.interval(), 1000);
    const int after = timer.remainingTime();
    QVERIFY2(after <= before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
}

void TestClassicTimer::newIntervalRestartsARunningCount_data()
{
    QTest::addColumn<int>("newInterval");
    QTest::newRow("longer") << 2000;
    QTest::newRow("shorter") << 950;
}

void TestClassicTimer::newIntervalRestartsARunningCount()
{
    QFETCH(int, newInterval);
    toolkit::ClassicTimer timer(1000);
    timer.setEnabled(true);
    QTest::qSleep(400);
    QVERIFY(timer.remainingTime() <= 600);

    timer.setInterval(newInterval);

    QCOMPARE(timer.interval(), newInterval);
    QVERIFY(timer.isCounting());
    // Counted from the change, not from the enabling (margin for a loaded machine).
    const int remaining = timer.remainingTime();
    QVERIFY2(remaining > newInterval - 200 && remaining <= newInterval,
             qPrintable(QString::number(remaining)));
}

void TestClassicTimer::intervalWhileDisabledStartsNothing()
{
    toolkit::ClassicTimer timer(1000);
    QSignalSpy ticks(&timer, &toolkit::ClassicTimer::timeout);
    timer.setInterval(10);
    QCOMPARE(timer.interval(), 10);
    QVERIFY(!timer.enabled());
    QVERIFY(!timer.isCounting());
    QTest::qWait(60);
    QCOMPARE(ticks.count(), 0);

    // The stored interval is the one the next enabling counts.
    timer.setEnabled(true);
    QVERIFY(timer.remainingTime() <= 10);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 1, 1000);
}

void TestClassicTimer::intervalZeroNeverFires()
{
    toolkit::ClassicTimer timer(20);
    QSignalSpy ticks(&timer, &toolkit::ClassicTimer::timeout);
    timer.setEnabled(true);
    timer.setInterval(0);
    QVERIFY(timer.enabled());
    QVERIFY(!timer.isCounting());
    QTest::qWait(80);
    QCOMPARE(ticks.count(), 0);

    // Enabled with 0 counts nothing either; a real interval then starts the count.
    timer.setEnabled(false);
    timer.setEnabled(true);
    QVERIFY(!timer.isCounting());
    timer.setInterval(20);
    QVERIFY(timer.isCounting());
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 1, 1000);
}

void TestClassicTimer::repeatsEveryIntervalWhileEnabled()
{
    toolkit::ClassicTimer timer(25);
    QElapsedTimer clock;
    QList<qint64> tickTimes;
    connect(&timer, &toolkit::ClassicTimer::timeout, this,
            [&] { tickTimes.append(clock.elapsed()); });
    clock.start();
    timer.setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(tickTimes.size() >= 3, 1000);
    QVERIFY(timer.enabled());
    // The first tick comes one interval after the enabling, not at once, and then one per interval.
    for (qsizetype k = 0; k < 3; ++k)
        QVERIFY2(tickTimes.at(k) >= (k + 1) * 25 - 2, qPrintable(QString::number(tickTimes.at(k))));

    timer.setEnabled(false);
    const auto counted = tickTimes.size();
    QTest::qWait(80);
    QCOMPARE(tickTimes.size(), counted);
}

QTEST_MAIN(TestClassicTimer)
#include "tst_classic_timer.moc"
