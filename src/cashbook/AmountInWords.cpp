#include "cashbook/AmountInWords.h"

#include <cmath>
#include <stdexcept>

namespace velcaris::cashbook {
namespace {

const char* const kUnits[21] = {"", "uno", "due", "tre", "quattro", "cinque", "sei", "sette",
                                "otto", "nove", "dieci", "undici", "dodici", "tredici",
                                "quattordici", "quindici", "sedici", "diciassette", "diciotto",
                                "diciannove", "venti"};
const char* const kTens[10] = {"", "", "venti", "trenta", "quaranta", "cinquanta", "sessanta",
                               "settanta", "ottanta", "novanta"};
const char* const kHundreds[10] = {"", "cento", "duecento", "trecento", "quattrocento",
                                   "cinquecento", "seicento", "settecento", "ottocento",
                                   "novecento"};

QString words(qint64 n)
{
    if (n < 0 || n >= 2100000000)
        return QString();
    if (n <= 20)
        return QString::fromLatin1(kUnits[n]);
    if (n <= 99) {
        const qint64 d = n % 10;
        QString t = QString::fromLatin1(kTens[n / 10]);
        // The tens lose their final vowel before "uno" and "otto".
        if (d == 1 || d == 8)
            t.chop(1);
        return t + words(d);
    }
    if (n <= 999)
        return QString::fromLatin1(kHundreds[n / 100]) + words(n % 100);
    if (n <= 1999)
        return QStringLiteral("mille") + words(n % 1000);
    if (n <= 999999)
        return words(n / 1000) + QStringLiteral("mila") + words(n % 1000);
    if (n <= 1999999)
        return QStringLiteral("unmilione") + words(n % 1000000);
    if (n <= 999999999)
        return words(n / 1000000) + QStringLiteral("milioni") + words(n % 1000000);
    if (n <= 1999999999)
        return QStringLiteral("unmiliardo") + words(n % 1000000000);
    return words(n / 1000000000) + QStringLiteral("miliardi") + words(n % 1000000000);
}

} // namespace

QString ImportoInLettere(qint64 tenThousandths)
{
    return words(tenThousandths / 10000); // C++ division truncates toward zero
}

QString receiptTotalInWords(const QString& totalText)
{
    bool ok = false;
    const double total = totalText.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(total) || std::fabs(total) > 9e14)
        throw std::invalid_argument(
            QStringLiteral("Totale non numerico: \"%1\"").arg(totalText).toStdString());
    const QString text = ImportoInLettere(qint64(std::llround(total * 10000.0)));
    if (totalText.contains(QLatin1Char('.')))
        return text + QLatin1Char('/') + totalText.right(2);
    return text + QStringLiteral("/00");
}

} // namespace velcaris::cashbook
