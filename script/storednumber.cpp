#include "storednumber.h"

#include <cfenv>
#include <cmath>

namespace StoredNumber {

double leadingNumber(const QString &text)
{
    const qsizetype n = text.size();
    const auto skipDigits = [&](qsizetype i) {
        while (i < n && text.at(i).unicode() >= u'0' && text.at(i).unicode() <= u'9')
            ++i;
        return i;
    };
    qsizetype i = 0;
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    i = skipDigits(i);
    if (i < n && text.at(i) == u'.')
        i = skipDigits(i + 1);
    if (i == digitsStart || (i == digitsStart + 1 && text.at(digitsStart) == u'.'))
        return 0;
    // An exponent belongs to the number only when digits follow it ("1e2" is 100, "1em" 1).
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text.at(j) == u'+' || text.at(j) == u'-'))
            ++j;
        if (const qsizetype end = skipDigits(j); end > j)
            i = end;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

int roundHalfEven(double value)
{
    if (value >= 2147483647.0)
        return 2147483647;
    if (value <= -2147483647.0)
        return -2147483647;
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return int(rounded);
}

int intervalMs(const QString &wordInterval)
{
    return roundHalfEven(leadingNumber(wordInterval));
}

} // namespace StoredNumber
