#include "platform/int_conversion.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<qint32>)

class TestIntConversion : public QObject
{
    Q_OBJECT
private slots:
    void convertsByTheClassicRules_data();
    void convertsByTheClassicRules();
    void fallsBackOnlyWhenInvalid();
};

void TestIntConversion::convertsByTheClassicRules_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::optional<qint32>>("expected");
    const std::optional<qint32> invalid;

    QTest::newRow("plain") << QByteArray("7") << std::optional<qint32>(7);
    QTest::newRow("leading spaces") << QByteArray("  7") << std::optional<qint32>(7);
    QTest::newRow("plus") << QByteArray("+7") << std::optional<qint32>(7);
    QTest::newRow("leading zeros") << QByteArray("007") << std::optional<qint32>(7);
    QTest::newRow("minus") << QByteArray("-3") << std::optional<qint32>(-3);
    QTest::newRow("spaces then sign") << QByteArray("  -3") << std::optional<qint32>(-3);
    QTest::newRow("zero") << QByteArray("0") << std::optional<qint32>(0);
    QTest::newRow("every digit") << QByteArray("1234567890") << std::optional<qint32>(1234567890);
    QTest::newRow("minus zero") << QByteArray("-0") << std::optional<qint32>(0);
    QTest::newRow("maximum") << QByteArray("2147483647") << std::optional<qint32>(2147483647);
    QTest::newRow("minimum") << QByteArray("-2147483648") << std::optional<qint32>(-2147483647 - 1);
    QTest::newRow("many zeros before maximum")
        << QByteArray("0000000000002147483647") << std::optional<qint32>(2147483647);

    QTest::newRow("0x lower") << QByteArray("0x0A") << std::optional<qint32>(10);
    QTest::newRow("0X upper") << QByteArray("0X1f") << std::optional<qint32>(31);
    QTest::newRow("dollar") << QByteArray("$a") << std::optional<qint32>(10);
    QTest::newRow("x") << QByteArray("x1") << std::optional<qint32>(1);
    QTest::newRow("X") << QByteArray("XfF") << std::optional<qint32>(255);
    QTest::newRow("minus 0x") << QByteArray("-0x10") << std::optional<qint32>(-16);
    QTest::newRow("minus dollar") << QByteArray("-$1") << std::optional<qint32>(-1);
    QTest::newRow("spaces then 0x") << QByteArray(" 0x10") << std::optional<qint32>(16);
    QTest::newRow("all bits") << QByteArray("$FFFFFFFF") << std::optional<qint32>(-1);
    QTest::newRow("sign bit") << QByteArray("$80000000") << std::optional<qint32>(-2147483647 - 1);
    QTest::newRow("minus sign bit")
        << QByteArray("-$80000000") << std::optional<qint32>(-2147483647 - 1);
    QTest::newRow("minus all bits") << QByteArray("-$FFFFFFFF") << std::optional<qint32>(1);
    QTest::newRow("hex leading zeros") << QByteArray("$0000000001") << std::optional<qint32>(1);

    QTest::newRow("empty") << QByteArray() << invalid;
    QTest::newRow("spaces only") << QByteArray("   ") << invalid;
    QTest::newRow("minus alone") << QByteArray("-") << invalid;
    QTest::newRow("plus alone") << QByteArray("+") << invalid;
    QTest::newRow("two signs") << QByteArray("--7") << invalid;
    QTest::newRow("fraction") << QByteArray("3.0") << invalid;
    QTest::newRow("trailing space") << QByteArray("7 ") << invalid;
    QTest::newRow("letters") << QByteArray("abc") << invalid;
    QTest::newRow("leading tab") << QByteArray("\t7") << invalid;
    QTest::newRow("space after sign") << QByteArray("- 7") << invalid;
    QTest::newRow("above maximum") << QByteArray("2147483648") << invalid;
    QTest::newRow("below minimum") << QByteArray("-2147483649") << invalid;
    QTest::newRow("huge decimal") << QByteArray(40, '9') << invalid;
    QTest::newRow("0x alone") << QByteArray("0x") << invalid;
    QTest::newRow("dollar alone") << QByteArray("$") << invalid;
    QTest::newRow("minus dollar alone") << QByteArray("-$") << invalid;
    QTest::newRow("hex without prefix") << QByteArray("FFFFFFFF") << invalid;
    QTest::newRow("hex overflow") << QByteArray("$100000000") << invalid;
    QTest::newRow("huge hex") << QByteArray("$" + QByteArray(30, 'f')) << invalid;
    QTest::newRow("bad hex digit") << QByteArray("$1g") << invalid;
    // "0x" at the very start stands for "$", so nothing may come between it and the digits.
    QTest::newRow("0x then space") << QByteArray("0x 1") << invalid;
    QTest::newRow("0x then sign") << QByteArray("0x-1") << invalid;
    QTest::newRow("double prefix") << QByteArray("0x$1") << invalid;
    QTest::newRow("decimal then x") << QByteArray("1x") << invalid;
    QTest::newRow("decimal then a") << QByteArray("1a") << invalid;
    QTest::newRow("NUL after digit") << QByteArray("7\0", 2) << invalid;
}

void TestIntConversion::convertsByTheClassicRules()
{
    QFETCH(QByteArray, text);
    QFETCH(std::optional<qint32>, expected);
    QCOMPARE(platform::convertInteger(text), expected);
}

void TestIntConversion::fallsBackOnlyWhenInvalid()
{
    QCOMPARE(platform::strToIntDef("2.5", 5), 5);
    QCOMPARE(platform::strToIntDef("", 7), 7);
    QCOMPARE(platform::strToIntDef("0", 7), 0);
    QCOMPARE(platform::strToIntDef("0x3", 7), 3);
}

QTEST_APPLESS_MAIN(TestIntConversion)
#include "tst_int_conversion.moc"
