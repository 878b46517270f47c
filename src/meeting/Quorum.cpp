#include "meeting/Quorum.h"

#include "store/Money.h"

#include <QHash>

namespace velcaris::meeting {

namespace {

// The smallest whole x with x * den >= value * num: the least amount reaching num/den of value.
std::int64_t atLeast(std::int64_t value, std::int64_t num, std::int64_t den)
{
    return (value * num + den - 1) / den;
}

QString heads(int n)
{
    return n == 1 ? QStringLiteral("1 partecipante") : QStringLiteral("%1 partecipanti").arg(n);
}

QString signedHeads(int n)
{
    return (n >= 0 ? QStringLiteral("+") : QString()) + QString::number(n);
}

QString signedMilli(std::int64_t milli)
{
    return (milli >= 0 ? QStringLiteral("+") : QString()) + milliText(milli);
}

QString side(const QString& caption, const Side& s)
{
    return QStringLiteral("%1 %2 (%3 millesimi)").arg(caption).arg(s.heads).arg(milliText(s.milli));
}

QString callText(Call call)
{
    return call == Call::First ? QStringLiteral("prima convocazione") : QStringLiteral("seconda convocazione");
}

} // namespace

const QStringList& majorityCaptions()
{
    static const QStringList captions{
        QStringLiteral("Ordinaria: maggioranza degli intervenuti e 1/2 del valore (1/3 in seconda convocazione)"),
        QStringLiteral("Art. 1136 c. 4 (amministratore, ricostruzione, riparazioni straordinarie di notevole "
                       "entità): maggioranza degli intervenuti e 1/2 del valore"),
        QStringLiteral("Innovazioni art. 1120 c. 1: maggioranza degli intervenuti e 2/3 del valore"),
        QStringLiteral("Art. 1117-ter (modifica delle destinazioni d'uso): 4/5 dei partecipanti e 4/5 del valore"),
        QStringLiteral("Unanimità"),
    };
    return captions;
}

QString majorityShortName(Majority m)
{
    switch (m) {
    case Majority::Ordinary: return QStringLiteral("Ordinaria");
    case Majority::Article1136c4: return QStringLiteral("Art. 1136 c. 4");
    case Majority::Innovation1120: return QStringLiteral("Innovazioni art. 1120 c. 1");
    case Majority::Article1117ter: return QStringLiteral("Art. 1117-ter");
    case Majority::Unanimity: return QStringLiteral("Unanimità");
    }
    return QString();
}

QString majorityCode(Majority m)
{
    switch (m) {
    case Majority::Ordinary: return QStringLiteral("ORD");
    case Majority::Article1136c4: return QStringLiteral("1136C4");
    case Majority::Innovation1120: return QStringLiteral("1120");
    case Majority::Article1117ter: return QStringLiteral("1117TER");
    case Majority::Unanimity: return QStringLiteral("UNANIMITA");
    }
    return QString();
}

Majority majorityFromCode(const QString& code)
{
    for (Majority m : {Majority::Article1136c4, Majority::Innovation1120, Majority::Article1117ter, Majority::Unanimity})
        if (code == majorityCode(m))
            return m;
    return Majority::Ordinary;
}

std::int64_t toMilli(double thousandths)
{
    return store::roundScaled(thousandths, 3);
}

QString milliText(std::int64_t milli)
{
    const bool negative = milli < 0;
    const std::int64_t a = negative ? -milli : milli;
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(a / 1000)
        .arg(a % 1000, 3, 10, QLatin1Char('0'));
}

Constitution constitution(const QVector<Participant>& participants, std::int64_t tableMilli, Call call)
{
    Constitution c;
    c.totalHeads = int(participants.size());
    c.totalMilli = tableMilli;
    for (const Participant& p : participants)
        if (p.counts()) {
            ++c.heads;
            c.milli += p.milli;
        }
    // First call: a majority of the participants and two thirds of the value; second call: one
    // third of each.
    const int needHeads = call == Call::First ? c.totalHeads / 2 + 1 : int(atLeast(c.totalHeads, 1, 3));
    const std::int64_t needMilli = call == Call::First ? atLeast(tableMilli, 2, 3) : atLeast(tableMilli, 1, 3);
    c.missingHeads = std::max(0, needHeads - c.heads);
    c.missingMilli = std::max<std::int64_t>(0, needMilli - c.milli);
    // A table without thousandths cannot measure the value: no meeting is constituted on it.
    c.constituted = c.heads > 0 && tableMilli > 0 && c.missingHeads == 0 && c.missingMilli == 0;
    return c;
}

ResolutionResult resolution(const QVector<Participant>& participants, std::int64_t tableMilli, Call call,
                            Majority majority, bool constituted)
{
    ResolutionResult r;
    int present = 0;
    std::int64_t everyone = 0;
    for (const Participant& p : participants) {
        everyone += p.milli;
        if (!p.counts())
            continue;
        ++present;
        Side* s = p.vote == Vote::InFavour ? &r.inFavour
                : p.vote == Vote::Against  ? &r.against
                : p.vote == Vote::Abstained ? &r.abstained
                                            : nullptr;
        if (s) {
            ++s->heads;
            s->milli += p.milli;
        }
    }
    const int all = int(participants.size());
    const int majorityOfPresent = present / 2 + 1;
    switch (majority) {
    case Majority::Ordinary:
        r.requiredHeads = majorityOfPresent;
        r.requiredMilli = call == Call::First ? atLeast(tableMilli, 1, 2) : atLeast(tableMilli, 1, 3);
        break;
    case Majority::Article1136c4:
        r.requiredHeads = majorityOfPresent;
        r.requiredMilli = atLeast(tableMilli, 1, 2);
        break;
    case Majority::Innovation1120:
        r.requiredHeads = majorityOfPresent;
        r.requiredMilli = atLeast(tableMilli, 2, 3);
        break;
    case Majority::Article1117ter:
        r.requiredHeads = int(atLeast(all, 4, 5));
        r.requiredMilli = atLeast(tableMilli, 4, 5);
        break;
    case Majority::Unanimity:
        r.requiredHeads = all;
        r.requiredMilli = everyone;
        break;
    }
    r.headsMargin = r.inFavour.heads - r.requiredHeads;
    r.milliMargin = r.inFavour.milli - r.requiredMilli;
    r.approved = constituted && r.inFavour.heads > 0 && r.headsMargin >= 0 && r.milliMargin >= 0;
    return r;
}

QVector<ProxyExcess> proxyExcesses(const QVector<Participant>& participants, std::int64_t tableMilli)
{
    QVector<ProxyExcess> out;
    const int all = int(participants.size());
    if (all <= 20)
        return out;
    QHash<QString, int> index;
    for (const Participant& p : participants) {
        if (p.attendance != Attendance::Proxy)
            continue;
        const QString name = p.delegateName.simplified();
        const QString key = p.delegateId != 0 ? QStringLiteral("#%1").arg(p.delegateId) : name.toCaseFolded();
        if (key.isEmpty())
            continue;
        auto it = index.find(key);
        if (it == index.end()) {
            it = index.insert(key, int(out.size()));
            out.push_back({name, 0, 0});
        }
        ++out[*it].heads;
        out[*it].milli += p.milli;
    }
    QVector<ProxyExcess> over;
    for (const ProxyExcess& e : out)
        if (std::int64_t(e.heads) * 5 > all || e.milli * 5 > tableMilli)
            over.push_back(e);
    return over;
}

MeetingCount count(const CountInput& input)
{
    MeetingCount m;
    m.constitution = constitution(input.participants, input.tableMilli, input.call);
    m.result = resolution(input.participants, input.tableMilli, input.call, input.majority,
                          m.constitution.constituted);
    m.proxyExcesses = proxyExcesses(input.participants, input.tableMilli);
    return m;
}

QString missingText(int missingHeads, std::int64_t milli)
{
    QStringList parts;
    if (missingHeads > 0)
        parts << heads(missingHeads);
    if (milli > 0)
        parts << QStringLiteral("%1 millesimi").arg(milliText(milli));
    if (parts.isEmpty())
        return QString();
    const bool one = parts.size() == 1 && missingHeads == 1;
    return (one ? QStringLiteral("manca ") : QStringLiteral("mancano ")) + parts.join(QStringLiteral(" e "));
}

QString quorumLine(const Constitution& c, Call call)
{
    QString line = QStringLiteral("Presenti %1 su %2 partecipanti, %3 su %4 millesimi: ")
                       .arg(c.heads)
                       .arg(c.totalHeads)
                       .arg(milliText(c.milli), milliText(c.totalMilli));
    if (c.constituted)
        return line + QStringLiteral("assemblea costituita in %1").arg(callText(call));
    line += QStringLiteral("assemblea non costituita in %1").arg(callText(call));
    if (c.totalMilli <= 0)
        return line + QStringLiteral(": la tabella scelta non ha millesimi, scegliere quella del valore dell'edificio");
    const QString missing = missingText(c.missingHeads, c.missingMilli);
    return missing.isEmpty() ? line : line + QStringLiteral(", ") + missing;
}

QString resultLine(const ResolutionResult& r, bool constituted)
{
    QString line = r.approved ? QStringLiteral("Approvata") : QStringLiteral("Non approvata");
    if (!constituted)
        line += QStringLiteral(" (assemblea non costituita)");
    line += QStringLiteral(": %1, %2, %3; richiesti %4 e %5 millesimi favorevoli; margine %6 partecipanti e %7 "
                           "millesimi")
                .arg(side(QStringLiteral("favorevoli"), r.inFavour), side(QStringLiteral("contrari"), r.against),
                     side(QStringLiteral("astenuti"), r.abstained), heads(r.requiredHeads),
                     milliText(r.requiredMilli), signedHeads(r.headsMargin), signedMilli(r.milliMargin));
    return line;
}

QString proxyWarning(const ProxyExcess& e)
{
    return QStringLiteral("Il delegato %1 rappresenta %2 e %3 millesimi: oltre il limite di un quinto dei "
                          "partecipanti e del valore (art. 67 disp. att. c.c.)")
        .arg(e.delegate, heads(e.heads), milliText(e.milli));
}

} // namespace velcaris::meeting
