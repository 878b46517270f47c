#pragma once
// The count of a condominium meeting by the Civil Code: whether the meeting is validly
// constituted (art. 1136), whether a resolution passed under the majority it requires, and which
// delegates hold more proxies than art. 67 disp. att. allows. Pure functions over plain values:
// thousandths are whole numbers of thousandths of a millesimo (1000.000 -> 1000000), so every
// threshold is compared exactly.
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

namespace velcaris::meeting {

enum class Call { First, Second };
enum class Attendance { Absent, Present, Proxy };
enum class Vote { None, InFavour, Against, Abstained };

// The majorities a resolution may require, in the order of the list offered to the user.
enum class Majority { Ordinary, Article1136c4, Innovation1120, Article1117ter, Unanimity };

// The captions of the majorities, each naming its rule; the index is the enum's value.
const QStringList& majorityCaptions();
// The stored code of a majority ("ORD", "1136C4", "1120", "1117TER", "UNANIMITA") and back.
QString majorityCode(Majority m);
Majority majorityFromCode(const QString& code);

// A thousandths value (333.333) as a whole number of thousandths of a millesimo (333333).
std::int64_t toMilli(double thousandths);
// The program's thousandths text of such a number: 45500 -> "45.500".
QString milliText(std::int64_t milli);

struct Participant {
    qint64 personId = 0;
    QString name;
    std::int64_t milli = 0;            // the sum of his units' thousandths in the meeting's table
    Attendance attendance = Attendance::Absent;
    qint64 delegateId = 0;             // the owner holding the proxy; 0 for an outside person
    QString delegateName;              // the delegate as written
    bool departed = false;             // left the meeting: no longer counted
    QString arrival, departure;        // times recorded during the meeting ("HH:MM"), if any
    Vote vote = Vote::None;            // on the resolution being counted

    // Present in person or by proxy, and still in the room.
    bool counts() const { return attendance != Attendance::Absent && !departed; }
};

struct CountInput {
    QVector<Participant> participants;
    std::int64_t tableMilli = 0;       // the table's total; fractions of the value are of it
    Call call = Call::First;
    Majority majority = Majority::Ordinary;
};

struct Constitution {
    int heads = 0, totalHeads = 0;
    std::int64_t milli = 0, totalMilli = 0;
    bool constituted = false;
    int missingHeads = 0;              // to reach the call's quorum; 0 when reached
    std::int64_t missingMilli = 0;
};

struct Side {
    int heads = 0;
    std::int64_t milli = 0;
};

struct ResolutionResult {
    Side inFavour, against, abstained;
    int requiredHeads = 0;             // the fewest heads in favour that pass
    std::int64_t requiredMilli = 0;    // the fewest thousandths in favour that pass
    bool approved = false;             // also requires a constituted meeting
    int headsMargin = 0;               // in favour minus required (negative: missing)
    std::int64_t milliMargin = 0;
};

struct ProxyExcess {
    QString delegate;
    int heads = 0;
    std::int64_t milli = 0;
};

struct MeetingCount {
    Constitution constitution;
    ResolutionResult result;
    QVector<ProxyExcess> proxyExcesses;
};

Constitution constitution(const QVector<Participant>& participants, std::int64_t tableMilli, Call call);
ResolutionResult resolution(const QVector<Participant>& participants, std::int64_t tableMilli, Call call,
                            Majority majority, bool constituted);
// Delegates representing more than one fifth of the participants or of the value, when the
// participants are more than 20; by delegate owner, or by name for an outside person.
QVector<ProxyExcess> proxyExcesses(const QVector<Participant>& participants, std::int64_t tableMilli);

// All three at once: what the meeting window recomputes at each change.
MeetingCount count(const CountInput& input);

// "Presenti 7 su 10 partecipanti, 712.000 su 1000.000 millesimi: assemblea costituita in prima
// convocazione", or "...: assemblea non costituita, mancano 2 partecipanti e 45.500 millesimi".
QString quorumLine(const Constitution& c, Call call);
// "mancano 2 partecipanti e 45.500 millesimi", "manca 1 partecipante"; empty when nothing is.
QString missingText(int heads, std::int64_t milli);
// "Approvata: favorevoli 6 (600.000 millesimi), contrari 2 (...), astenuti 1 (...); ..."
QString resultLine(const ResolutionResult& r, bool constituted);
// "Il delegato Rossi rappresenta 5 partecipanti e 250.000 millesimi: oltre un quinto ..."
QString proxyWarning(const ProxyExcess& e);

} // namespace velcaris::meeting
