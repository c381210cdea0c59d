#include "device/numbers.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<qint64>)

class NumbersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void wholeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<std::optional<qint64>>("whole");

        const QLocale en(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        using W = std::optional<qint64>;
        QTest::newRow("2.5 x10") << "2.5" << en << 1 << true << W(25);
        QTest::newRow("2.55 x10 to even") << "2.55" << en << 1 << true << W(26);
        QTest::newRow("2.45 x10 to even") << "2.45" << en << 1 << true << W(24);
        QTest::newRow("2.4501 x10 above half") << "2.4501" << en << 1 << true << W(25);
        QTest::newRow("12.3456 x10000") << "12.3456" << en << 4 << true << W(123456);
        QTest::newRow("1677.7216 x10000") << "1677.7216" << en << 4 << true << W(16777216);
        QTest::newRow("more decimals than the scale") << "1.23456789" << en << 4 << true << W(12346);
        QTest::newRow("2.5 whole") << "2.5" << en << 0 << true << W(2);
        QTest::newRow("3.5 whole") << "3.5" << en << 0 << true << W(4);
        QTest::newRow("-2.5 whole") << "-2.5" << en << 0 << true << W(-2);
        QTest::newRow("-1.55 x10") << "-1.55" << en << 1 << true << W(-16);
        QTest::newRow("plus sign") << "+7" << en << 0 << true << W(7);
        QTest::newRow("blanks around") << "  42 " << en << 0 << true << W(42);
        QTest::newRow("point only at the end") << "5." << en << 0 << true << W(5);
        QTest::newRow("point at the start") << ".5" << en << 0 << true << W(0);
        QTest::newRow("leading zeros") << "000123" << en << 0 << true << W(123);
        QTest::newRow("German comma") << "2,55" << de << 1 << true << W(26);
        QTest::newRow("German period is no separator") << "2.5" << de << 1 << false << W();
        QTest::newRow("comma in English") << "1,5" << en << 0 << false << W();
        QTest::newRow("grouping") << "1,000" << en << 0 << false << W();
        QTest::newRow("exponent") << "1e3" << en << 0 << false << W();
        QTest::newRow("letters") << "abc" << en << 0 << false << W();
        QTest::newRow("trailing letters") << "12abc" << en << 0 << false << W();
        QTest::newRow("empty") << "" << en << 0 << false << W();
        QTest::newRow("sign only") << "-" << en << 0 << false << W();
        QTest::newRow("point only") << "." << en << 0 << false << W();
        QTest::newRow("two points") << "1.2.3" << en << 0 << false << W();
        QTest::newRow("limit") << "999999999999999999" << en << 0 << true << W(kWholeNumberLimit);
        QTest::newRow("rounds past the limit") << "999999999999999999.5" << en << 0 << true << W();
        QTest::newRow("past the limit after scaling") << "99999999999999999" << en << 2 << true << W();
        QTest::newRow("twenty digits") << "99999999999999999999" << en << 0 << true << W();
        QTest::newRow("ten thousand digits") << QString(10000, QLatin1Char('9')) << en << 4 << true << W();
        QTest::newRow("tiny fraction of many digits")
            << "0." + QString(5000, QLatin1Char('0')) + "1" << en << 4 << true << W(0);
    }

    void wholeText()
    {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(int, shift);
        QFETCH(bool, readable);
        QFETCH(std::optional<qint64>, whole);

        const auto number = WholeText(text, locale);
        QCOMPARE(number.has_value(), readable);
        if (number)
            QCOMPARE(scaledWhole(*number, shift), whole);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("whole");

        QTest::newRow("digits then letters") << "12abc" << qint64(12);
        QTest::newRow("leading blanks skipped") << "   42x" << qint64(42);
        QTest::newRow("no number") << "abc" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("negative with decimals") << "-3.7z" << qint64(-4);
        QTest::newRow("second point stops") << "2.5.3" << qint64(2);
        QTest::newRow("half to even up") << "3.5" << qint64(4);
        QTest::newRow("comma stops") << "1,9" << qint64(1);
        QTest::newRow("plus sign") << "+8" << qint64(8);
        QTest::newRow("sign without digits") << "-x" << qint64(0);
        QTest::newRow("inner blank stops") << "1 2" << qint64(1);
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(qint64, whole);
        QCOMPARE(scaledWhole(LeadingNumber(text)), std::optional<qint64>(whole));
    }

    void isAbove_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("above");

        QTest::newRow("255") << "255" << false;
        QTest::newRow("255.0") << "255.0" << false;
        QTest::newRow("255.01") << "255.01" << true;
        QTest::newRow("256") << "256" << true;
        QTest::newRow("-300") << "-300" << false;
        QTest::newRow("huge") << QString(40, QLatin1Char('9')) << true;
        QTest::newRow("zero") << "0" << false;
    }

    void isAbove()
    {
        QFETCH(QString, text);
        QFETCH(bool, above);
        QCOMPARE(::isAbove(LeadingNumber(text), 255), above);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("whole");

        QTest::newRow("2.5") << 2.5 << qint64(2);
        QTest::newRow("3.5") << 3.5 << qint64(4);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("-3.5") << -3.5 << qint64(-4);
        QTest::newRow("2.49") << 2.49 << qint64(2);
        QTest::newRow("2.51") << 2.51 << qint64(3);
        QTest::newRow("nan") << std::nan("") << qint64(0);
        QTest::newRow("huge") << 1e300 << kWholeNumberLimit;
    }

    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, whole);
        QCOMPARE(::roundHalfEven(value), whole);
    }

    void formatScaled_data()
    {
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<int>("divisor");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");

        const QLocale en(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("##0.0") << qint64(25) << 10 << 1 << en << "2.5";
        QTest::newRow("#0.0000") << qint64(123456) << 10000 << 4 << en << "12.3456";
        QTest::newRow("#0.0000 zero") << qint64(0) << 10000 << 4 << en << "0.0000";
        QTest::newRow("fixed below one") << qint64(5) << 100 << 2 << en << "0.05";
        QTest::newRow("no grouping") << qint64(16777215) << 100 << 2 << en << "167772.15";
        QTest::newRow("German separator") << qint64(25) << 10 << 1 << de << "2,5";
        QTest::newRow("German no grouping") << qint64(65535) << 10 << 1 << de << "6553,5";
        QTest::newRow("negative") << qint64(-25) << 10 << 1 << en << "-2.5";
        QTest::newRow("short format to even down") << qint64(25) << 100 << 1 << en << "0.2";
        QTest::newRow("short format to even up") << qint64(35) << 100 << 1 << en << "0.4";
        QTest::newRow("whole") << qint64(7) << 1 << 0 << en << "7";
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << 10000 << 4 << en
                                 << "922337203685477.5807";
        QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << 1 << 0 << en
                                  << "-9223372036854775808";
    }

    void formatScaled()
    {
        QFETCH(qint64, stored);
        QFETCH(int, divisor);
        QFETCH(int, decimals);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QCOMPARE(::formatScaled(stored, divisor, decimals, locale), text);
    }

    void formatReadsBack()
    {
        // Every stored value of a 16-bit timing field comes back unchanged through its text.
        const QLocale de(QLocale::German, QLocale::Germany);
        for (qint64 v = 0; v < 65536; v += 7) {
            const auto number = WholeText(::formatScaled(v, 10, 1, de), de);
            QVERIFY(number);
            QCOMPARE(scaledWhole(*number, 1), std::optional<qint64>(v));
        }
    }
};

QTEST_GUILESS_MAIN(NumbersTest)
#include "numbers_test.moc"
