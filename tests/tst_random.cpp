#include "core/random.h"

#include <QTest>

class TestRandom : public QObject
{
    Q_OBJECT
private slots:
    void followsTheLinearCongruence();
    void drawsStayInRange();
};

void TestRandom::followsTheLinearCongruence()
{
    Random rng(1);
    // seed 1 -> 134775814; draw(100) = high 32 bits of 100 * 134775814
    QCOMPARE(rng.draw(100), quint32((100ULL * 134775814ULL) >> 32));
    QCOMPARE(rng.seed(), quint32(134775814U));
    Random wrap(0xFFFFFFFFU);
    wrap.draw(1);
    QCOMPARE(wrap.seed(), quint32(0xFFFFFFFFULL * 134775813ULL + 1ULL));
}

void TestRandom::drawsStayInRange()
{
    Random rng(12345);
    for (int i = 0; i < 10000; ++i)
        QVERIFY(rng.draw(6) < 6U);
    QCOMPARE(rng.draw(1), 0U);
}

QTEST_APPLESS_MAIN(TestRandom)
#include "tst_random.moc"
