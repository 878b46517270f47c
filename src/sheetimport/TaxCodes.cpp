#include "sheetimport/TaxCodes.h"

namespace velcaris::sheetimport {

namespace {

// The value of a character in an odd position (1st, 3rd, ...): digits as the letters A-J.
constexpr int kOdd[26] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

int index(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    return c.unicode() - u'A';
}

bool digitsOnly(const QString& code)
{
    for (const QChar c : code)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

QString taxCodeProblem(const QString& written)
{
    const QString code = written.trimmed().toUpper();
    if (code.isEmpty())
        return QString();
    if (code.size() == 11 && digitsOnly(code)) {
        int sum = 0;
        for (int i = 0; i < 10; ++i) {
            int d = code[i].unicode() - u'0';
            if (i % 2 == 1) {
                d *= 2;
                if (d > 9)
                    d -= 9;
            }
            sum += d;
        }
        if ((10 - sum % 10) % 10 != code[10].unicode() - u'0')
            return QStringLiteral("il codice fiscale %1 ha la cifra di controllo sbagliata").arg(code);
        return QString();
    }
    if (code.size() != 16)
        return QStringLiteral("il codice fiscale %1 non ha 16 caratteri").arg(code);
    for (const QChar c : code)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return QStringLiteral("il codice fiscale %1 contiene caratteri non ammessi").arg(code);
    int sum = 0;
    for (int i = 0; i < 15; ++i)
        sum += i % 2 == 0 ? kOdd[index(code[i])] : index(code[i]);
    if (QChar(u'A' + sum % 26) != code[15])
        return QStringLiteral("il codice fiscale %1 ha il carattere di controllo sbagliato").arg(code);
    return QString();
}

} // namespace velcaris::sheetimport
