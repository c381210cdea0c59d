#include "device/numbers.h"

#include <cmath>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

QByteArray withoutLeadingZeros(const QByteArray &digits)
{
    qsizetype i = 0;
    while (i < digits.size() && digits.at(i) == '0')
        ++i;
    return digits.mid(i);
}

} // namespace

std::optional<DecimalNumber> WholeText(const QString &text, const QLocale &locale)
{
    const QString t = text.trimmed();
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    const QString plus = locale.positiveSign();

    DecimalNumber number;
    qsizetype i = 0;
    if (!minus.isEmpty() && t.startsWith(minus)) {
        number.negative = true;
        i = minus.size();
    } else if (t.startsWith(QLatin1Char('-'))) {
        number.negative = true;
        i = 1;
    } else if (!plus.isEmpty() && t.startsWith(plus)) {
        i = plus.size();
    } else if (t.startsWith(QLatin1Char('+'))) {
        i = 1;
    }

    QByteArray digits;
    int decimals = 0;
    bool afterPoint = false;
    while (i < t.size()) {
        const QChar c = t.at(i);
        if (isAsciiDigit(c)) {
            digits.append(char(c.unicode()));
            if (afterPoint)
                ++decimals;
            ++i;
        } else if (!afterPoint && !point.isEmpty() && QStringView(t).mid(i).startsWith(point)) {
            afterPoint = true;
            i += point.size();
        } else {
            return std::nullopt;
        }
    }
    if (digits.isEmpty())
        return std::nullopt;
    number.digits = digits;
    number.decimals = decimals;
    return number;
}

DecimalNumber LeadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i)))
        ++i;

    DecimalNumber number;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        number.negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    QByteArray digits;
    int decimals = 0;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            digits.append(char(c.unicode()));
            if (afterPoint)
                ++decimals;
        } else if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (digits.isEmpty())
        return DecimalNumber();
    number.digits = digits;
    number.decimals = decimals;
    return number;
}

std::optional<qint64> scaledWhole(const DecimalNumber &number, int shift)
{
    const QByteArray &d = number.digits;
    const qsizetype fractionDigits = qsizetype(number.decimals) - shift;
    QByteArray whole;
    QByteArray fraction;
    if (fractionDigits <= 0) {
        whole = withoutLeadingZeros(d);
        if (!whole.isEmpty()) {
            if (whole.size() - fractionDigits > 18)
                return std::nullopt;
            whole.append(QByteArray(-fractionDigits, '0'));
        }
    } else if (fractionDigits >= d.size()) {
        fraction = QByteArray(fractionDigits - d.size(), '0') + d;
    } else {
        whole = withoutLeadingZeros(d.left(d.size() - fractionDigits));
        fraction = d.right(fractionDigits);
    }
    if (whole.size() > 18)
        return std::nullopt;

    qint64 value = 0;
    for (char c : whole)
        value = value * 10 + (c - '0');

    if (!fraction.isEmpty()) {
        const char first = fraction.at(0);
        bool up = first > '5';
        if (first == '5') {
            bool beyondHalf = false;
            for (qsizetype k = 1; k < fraction.size() && !beyondHalf; ++k)
                beyondHalf = fraction.at(k) != '0';
            up = beyondHalf || (value % 2 != 0);
        }
        if (up)
            ++value;
    }
    if (value > kWholeNumberLimit)
        return std::nullopt;
    return number.negative ? -value : value;
}

bool isAbove(const DecimalNumber &number, qint64 limit)
{
    const qsizetype wholeDigits = number.digits.size() - number.decimals;
    const QByteArray whole = withoutLeadingZeros(number.digits.left(qMax<qsizetype>(wholeDigits, 0)));
    bool hasFraction = false;
    for (qsizetype k = qMax<qsizetype>(wholeDigits, 0); k < number.digits.size(); ++k)
        hasFraction = hasFraction || number.digits.at(k) != '0';
    const bool zero = whole.isEmpty() && !hasFraction;

    if (whole.size() > 18) // beyond any qint64 limit
        return !number.negative;
    qint64 magnitude = 0;
    for (char c : whole)
        magnitude = magnitude * 10 + (c - '0');

    if (!number.negative || zero) {
        if (limit < 0)
            return true;
        return magnitude > limit || (magnitude == limit && hasFraction);
    }
    // -(magnitude + fraction) > limit only for a negative limit of larger size
    if (limit >= 0)
        return false;
    return magnitude < -(limit + 1) + 1;
}

int decimalShift(qint64 divisor)
{
    int shift = 0;
    while (divisor >= 10 && divisor % 10 == 0) {
        divisor /= 10;
        ++shift;
    }
    return shift;
}

qint64 roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(kWholeNumberLimit))
        return kWholeNumberLimit;
    if (value <= -double(kWholeNumberLimit))
        return -kWholeNumberLimit;
    const double lower = std::floor(value);
    const double rest = value - lower;
    qint64 result = qint64(lower);
    if (rest > 0.5 || (rest == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

QString formatScaled(qint64 stored, qint64 divisor, int decimals, const QLocale &locale)
{
    if (divisor <= 0)
        divisor = 1;
    decimals = qBound(0, decimals, 18);
    using Wide = unsigned __int128;
    const bool negative = stored < 0;
    const Wide magnitude = negative ? Wide(-(stored + 1)) + 1 : Wide(stored);

    Wide power = 1;
    for (int k = 0; k < decimals; ++k)
        power *= 10;
    const Wide scaled = magnitude * power;
    Wide quotient = scaled / Wide(divisor);
    const Wide remainder = scaled % Wide(divisor);
    if (remainder * 2 > Wide(divisor) || (remainder * 2 == Wide(divisor) && quotient % 2 != 0))
        ++quotient;

    const quint64 whole = quint64(quotient / power);
    const quint64 fraction = quint64(quotient % power);
    QString text;
    if (negative && quotient != 0)
        text += locale.negativeSign();
    text += QString::number(whole);
    if (decimals > 0)
        text += locale.decimalPoint() + QStringLiteral("%1").arg(fraction, decimals, 10, QLatin1Char('0'));
    return text;
}
