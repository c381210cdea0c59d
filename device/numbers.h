#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

// A decimal number kept exactly as typed: digits × 10^-decimals, with a sign.
// Texts become whole numbers through this, never through binary floating point,
// so that "2.55" at ×10 is 25.5 exactly and rounds to 26.
struct DecimalNumber
{
    bool negative = false;
    QByteArray digits = "0"; // ASCII digits, at least one
    int decimals = 0;        // how many of the digits stand after the decimal point
};

// Whole numbers made from texts are kept below this size; larger ones count as out of range.
constexpr qint64 kWholeNumberLimit = 999'999'999'999'999'999LL;

// The whole text read as a number in the locale: optional sign, digits, the locale's
// decimal separator, no grouping and no exponent; blanks around it are allowed.
// Nothing when the text is not such a number.
std::optional<DecimalNumber> WholeText(const QString &text, const QLocale &locale = QLocale());

// The number at the start of the text with a period as decimal point; leading blanks
// are skipped and reading stops at the first character that does not belong.
// A text that does not begin with a number gives 0.
DecimalNumber LeadingNumber(const QString &text);

// The number × 10^shift rounded to a whole number, a half to the even neighbour.
// Nothing when the result would pass kWholeNumberLimit.
std::optional<qint64> scaledWhole(const DecimalNumber &number, int shift = 0);

// True when the number is above the whole number limit (exactly, decimals included).
bool isAbove(const DecimalNumber &number, qint64 limit);

// The number of decimal digits a divisor of 10, 100, 10000... shifts by.
int decimalShift(qint64 divisor);

// Rounds to the nearest whole number, a half to the even neighbour (2.5 gives 2).
qint64 roundHalfEven(double value);

// stored / divisor with exactly `decimals` digits after the locale's decimal separator
// and at least one before, no grouping ("#0.0000", "#0.00", "##0.00", "##0.0", "fixed").
// Integer arithmetic only; digits dropped by a short format round half to even.
QString formatScaled(qint64 stored, qint64 divisor, int decimals, const QLocale &locale = QLocale());
