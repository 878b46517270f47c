// The count of a meeting on each threshold, on both sides of it.
#include "meeting/Quorum.h"

#include <gtest/gtest.h>

using namespace velcaris::meeting;

namespace {

// `n` participants sharing `total` thousandths of a millesimo evenly, the remainder to the last.
QVector<Participant> even(int n, std::int64_t total)
{
    QVector<Participant> ps;
    for (int i = 0; i < n; ++i) {
        Participant p;
        p.personId = i + 1;
        p.name = QStringLiteral("P%1").arg(i + 1);
        p.milli = total / n + (i == n - 1 ? total % n : 0);
        ps << p;
    }
    return ps;
}

// Participants with the given values (in thousandths, three decimals).
QVector<Participant> weighted(std::initializer_list<double> values)
{
    QVector<Participant> ps;
    int id = 0;
    for (double v : values) {
        Participant p;
        p.personId = ++id;
        p.name = QStringLiteral("P%1").arg(id);
        p.milli = toMilli(v);
        ps << p;
    }
    return ps;
}

void attend(QVector<Participant>& ps, std::initializer_list<int> indexes, Attendance how = Attendance::Present)
{
    for (int i : indexes)
        ps[i].attendance = how;
}

void vote(QVector<Participant>& ps, std::initializer_list<int> indexes, Vote v)
{
    for (int i : indexes)
        ps[i].vote = v;
}

} // namespace

TEST(MeetingQuorum, FirstCallNeedsHalfTheHeadsPlusOneAndTwoThirdsOfTheValue)
{
    // 10 participants: the last three weigh 2/3 exactly (666.666 + ... as set below).
    auto ps = weighted({50, 50, 50, 50, 50, 50, 50, 200, 200, 250});
    attend(ps, {0, 1, 2, 7, 8, 9}); // 6 of 10 heads, 800 of 1000
    Constitution c = constitution(ps, toMilli(1000), Call::First);
    EXPECT_TRUE(c.constituted);
    EXPECT_EQ(c.heads, 6);
    EXPECT_EQ(c.milli, toMilli(800));

    ps[0].attendance = Attendance::Absent; // exactly half the heads: not a majority
    c = constitution(ps, toMilli(1000), Call::First);
    EXPECT_FALSE(c.constituted);
    EXPECT_EQ(c.missingHeads, 1);
    EXPECT_EQ(c.missingMilli, 0);
    EXPECT_EQ(missingText(c.missingHeads, c.missingMilli), "manca 1 partecipante");

    // Exactly two thirds of a table of 1200 with a head majority.
    auto qs = weighted({400, 400, 100, 100, 200});
    attend(qs, {0, 1, 3}); // 900 of 1200: more than 800
    EXPECT_TRUE(constitution(qs, toMilli(1200), Call::First).constituted);
    qs = weighted({400, 300, 100, 100, 300});
    attend(qs, {0, 1, 2}); // 800 of 1200: exactly two thirds
    EXPECT_TRUE(constitution(qs, toMilli(1200), Call::First).constituted);
    qs[2].milli = toMilli(99.999); // 799.999
    c = constitution(qs, toMilli(1200), Call::First);
    EXPECT_FALSE(c.constituted);
    EXPECT_EQ(c.missingMilli, 1);
    EXPECT_EQ(missingText(c.missingHeads, c.missingMilli), "mancano 0.001 millesimi");
}

TEST(MeetingQuorum, TwoThirdsOfAThousandIsBetween666666And666667)
{
    auto ps = weighted({666.666, 333.334});
    attend(ps, {0});
    // One of two heads is never a majority: give the meeting a third, absent, participant of no value.
    ps << weighted({0}).first();
    ps.last().personId = 3;
    ps[2].attendance = Attendance::Present;
    EXPECT_FALSE(constitution(ps, toMilli(1000), Call::First).constituted);
    ps[0].milli = toMilli(666.667);
    ps[1].milli = toMilli(333.333);
    EXPECT_TRUE(constitution(ps, toMilli(1000), Call::First).constituted);
}

TEST(MeetingQuorum, MissingIsSaidInHeadsAndThousandthsOfTheTablesOwnTotal)
{
    // 10 participants of 100 each; 3 present hold 300 of 1000: a majority needs 3 more heads and
    // two thirds need 366.667 more (666.667 - 300).
    auto ps = even(10, toMilli(1000));
    attend(ps, {0, 1, 2});
    Constitution c = constitution(ps, toMilli(1000), Call::First);
    EXPECT_EQ(c.missingHeads, 3);
    EXPECT_EQ(c.missingMilli, toMilli(366.667));
    EXPECT_EQ(quorumLine(c, Call::First),
              "Presenti 3 su 10 partecipanti, 300.000 su 1000.000 millesimi: assemblea non costituita in prima "
              "convocazione, mancano 3 partecipanti e 366.667 millesimi");

    // A table of 850: 6 of 10 heads holding 521.167 miss two thirds (566.667) by 45.500.
    auto qs = weighted({100, 100, 100, 100, 60, 61.167, 100, 100, 64.833, 64});
    attend(qs, {0, 1, 2, 3, 4, 5});
    c = constitution(qs, toMilli(850), Call::First);
    EXPECT_EQ(c.missingHeads, 0);
    EXPECT_EQ(milliText(c.missingMilli), "45.500");
    qs[5].attendance = Attendance::Absent;
    qs[4].attendance = Attendance::Absent;
    qs[2].milli += toMilli(121.167); // the same value in fewer heads
    c = constitution(qs, toMilli(850), Call::First);
    EXPECT_EQ(missingText(c.missingHeads, c.missingMilli), "mancano 2 partecipanti e 45.500 millesimi");
}

TEST(MeetingQuorum, SecondCallIsConstitutedWithOneThirdAndOneThird)
{
    auto ps = even(9, toMilli(1000)); // 111.111 each, the last 111.112
    attend(ps, {0, 1, 8});            // 3 of 9 heads, 333.334
    Constitution c = constitution(ps, toMilli(1000), Call::Second);
    EXPECT_TRUE(c.constituted) << quorumLine(c, Call::Second).toStdString();
    EXPECT_FALSE(constitution(ps, toMilli(1000), Call::First).constituted);
    ps[8].milli -= 1; // 333.333: short of a third by one thousandth of a millesimo
    c = constitution(ps, toMilli(1000), Call::Second);
    EXPECT_FALSE(c.constituted);
    EXPECT_EQ(c.missingMilli, 1);
    ps[8].milli += 1;
    ps[1].attendance = Attendance::Absent; // 2 of 9 heads
    ps[0].milli += toMilli(200);
    c = constitution(ps, toMilli(1200), Call::Second);
    EXPECT_FALSE(c.constituted);
    EXPECT_EQ(c.missingHeads, 1);
}

TEST(MeetingQuorum, ProxiesAndDeparturesCount)
{
    auto ps = even(4, toMilli(1000));
    attend(ps, {0, 1});
    attend(ps, {2}, Attendance::Proxy);
    EXPECT_EQ(constitution(ps, toMilli(1000), Call::First).heads, 3);
    ps[1].departed = true; // left the meeting
    const Constitution c = constitution(ps, toMilli(1000), Call::First);
    EXPECT_EQ(c.heads, 2);
    EXPECT_EQ(c.milli, toMilli(500));
    EXPECT_FALSE(c.constituted);
}

TEST(MeetingQuorum, ProxyLimitAppliesOverTwentyParticipants)
{
    for (const int n : {20, 21}) {
        auto ps = even(n, toMilli(1000));
        for (int i = 0; i < 5; ++i) {
            ps[i].attendance = Attendance::Proxy;
            ps[i].delegateName = QStringLiteral(" Verdi  Luca ");
        }
        ps[5].attendance = Attendance::Proxy;
        ps[5].delegateName = QStringLiteral("verdi luca"); // the same outside person
        ps[6].attendance = Attendance::Proxy;
        ps[6].delegateId = 20; // an owner holding one proxy
        const auto over = proxyExcesses(ps, toMilli(1000));
        if (n == 20) {
            EXPECT_TRUE(over.isEmpty());
            continue;
        }
        ASSERT_EQ(over.size(), 1);
        EXPECT_EQ(over[0].delegate, "Verdi Luca");
        EXPECT_EQ(over[0].heads, 6);
        EXPECT_TRUE(proxyWarning(over[0]).startsWith("Il delegato Verdi Luca rappresenta 6 partecipanti"));
    }
    // With 21 participants, 4 proxies (not over a fifth of the heads) over a fifth of the value.
    auto ps = even(21, toMilli(1000));
    for (int i = 0; i < 4; ++i) {
        ps[i].attendance = Attendance::Proxy;
        ps[i].delegateId = 21;
    }
    EXPECT_TRUE(proxyExcesses(ps, toMilli(1000)).isEmpty());
    ps[0].milli = toMilli(100); // 4 x 47.619 + ... now over 200
    EXPECT_EQ(proxyExcesses(ps, toMilli(1000)).size(), 1);
}

TEST(MeetingResolution, OrdinaryNeedsHeadsAndThousandthsBoth)
{
    // 10 participants, all present; 6 in favour.
    auto ps = weighted({10, 10, 10, 10, 10, 10, 200, 200, 260, 280});
    for (int i = 0; i < 10; ++i)
        ps[i].attendance = Attendance::Present;
    vote(ps, {0, 1, 2, 3, 4, 5}, Vote::InFavour); // heads, but 60 of 1000
    vote(ps, {6, 7, 8, 9}, Vote::Against);
    ResolutionResult r = resolution(ps, toMilli(1000), Call::First, Majority::Ordinary, true);
    EXPECT_FALSE(r.approved);
    EXPECT_EQ(r.headsMargin, 0);
    EXPECT_EQ(r.milliMargin, toMilli(60) - toMilli(500));

    // The reverse: 4 heads with 940 of 1000.
    for (int i = 0; i < 10; ++i)
        ps[i].vote = i < 6 ? Vote::Against : Vote::InFavour;
    r = resolution(ps, toMilli(1000), Call::First, Majority::Ordinary, true);
    EXPECT_FALSE(r.approved);
    EXPECT_EQ(r.requiredHeads, 6);
    EXPECT_EQ(r.headsMargin, -2);
    EXPECT_GT(r.milliMargin, 0);

    // Exactly half the value with a head majority passes; one thousandth less does not.
    auto qs = weighted({250, 150, 100, 300, 200});
    for (int i = 0; i < 5; ++i)
        qs[i].attendance = Attendance::Present;
    vote(qs, {0, 1, 2}, Vote::InFavour);
    vote(qs, {3, 4}, Vote::Against);
    r = resolution(qs, toMilli(1000), Call::First, Majority::Ordinary, true);
    EXPECT_TRUE(r.approved);
    EXPECT_EQ(r.milliMargin, 0);
    qs[2].milli -= 1;
    EXPECT_FALSE(resolution(qs, toMilli(1000), Call::First, Majority::Ordinary, true).approved);
    // In second call a third of the value is enough.
    EXPECT_TRUE(resolution(qs, toMilli(1000), Call::Second, Majority::Ordinary, true).approved);
    // Not for the matters of art. 1136 c. 4, in any call.
    EXPECT_FALSE(resolution(qs, toMilli(1000), Call::Second, Majority::Article1136c4, true).approved);
    qs[2].milli += 1;
    EXPECT_TRUE(resolution(qs, toMilli(1000), Call::Second, Majority::Article1136c4, true).approved);
    // A meeting not constituted approves nothing.
    EXPECT_FALSE(resolution(qs, toMilli(1000), Call::First, Majority::Ordinary, false).approved);
}

TEST(MeetingResolution, MajorityOfThosePresentNotOfAll)
{
    auto ps = even(10, toMilli(1000));
    attend(ps, {0, 1, 2, 3, 4, 5, 6});
    vote(ps, {0, 1, 2}, Vote::InFavour);
    vote(ps, {3, 4, 5, 6}, Vote::Abstained);
    ResolutionResult r = resolution(ps, toMilli(1000), Call::Second, Majority::Ordinary, true);
    EXPECT_EQ(r.requiredHeads, 4); // of 7 present
    EXPECT_FALSE(r.approved);
    ps[3].vote = Vote::InFavour;
    ps[0].milli += toMilli(100); // 500 in favour: also enough value
    r = resolution(ps, toMilli(1100), Call::Second, Majority::Ordinary, true);
    EXPECT_TRUE(r.approved);
    EXPECT_EQ(r.inFavour.heads, 4);
    EXPECT_EQ(r.abstained.heads, 3);
    // An absent participant's vote is not counted.
    ps[9].vote = Vote::Against;
    EXPECT_EQ(resolution(ps, toMilli(1100), Call::Second, Majority::Ordinary, true).against.heads, 0);
}

TEST(MeetingResolution, InnovationsNeedTwoThirdsOfTheValue)
{
    auto ps = weighted({666.666, 333.334, 0});
    attend(ps, {0, 1, 2});
    vote(ps, {0, 2}, Vote::InFavour);
    ps[1].vote = Vote::Against;
    EXPECT_FALSE(resolution(ps, toMilli(1000), Call::First, Majority::Innovation1120, true).approved);
    ps[0].milli += 1;
    ps[1].milli -= 1;
    const ResolutionResult r = resolution(ps, toMilli(1000), Call::First, Majority::Innovation1120, true);
    EXPECT_TRUE(r.approved);
    EXPECT_EQ(r.requiredMilli, toMilli(666.667));
}

TEST(MeetingResolution, Article1117terCountsFourFifthsOfAllParticipants)
{
    auto ps = even(10, toMilli(1000));
    for (int i = 0; i < 10; ++i)
        ps[i].attendance = i < 9 ? Attendance::Present : Attendance::Absent;
    vote(ps, {0, 1, 2, 3, 4, 5, 6}, Vote::InFavour); // 7 of 10 heads: a majority of those present
    ResolutionResult r = resolution(ps, toMilli(1000), Call::First, Majority::Article1117ter, true);
    EXPECT_EQ(r.requiredHeads, 8);
    EXPECT_FALSE(r.approved);
    ps[7].vote = Vote::InFavour; // 8 of 10 heads, 800 of 1000: exactly four fifths of each
    r = resolution(ps, toMilli(1000), Call::First, Majority::Article1117ter, true);
    EXPECT_TRUE(r.approved);
    EXPECT_EQ(r.milliMargin, 0);
    ps[7].milli -= 1;
    EXPECT_FALSE(resolution(ps, toMilli(1000), Call::First, Majority::Article1117ter, true).approved);
}

TEST(MeetingResolution, UnanimityFailsOnOneAbstention)
{
    auto ps = even(5, toMilli(1000));
    attend(ps, {0, 1, 2, 3, 4});
    vote(ps, {0, 1, 2, 3, 4}, Vote::InFavour);
    EXPECT_TRUE(resolution(ps, toMilli(1000), Call::First, Majority::Unanimity, true).approved);
    ps[4].vote = Vote::Abstained;
    const ResolutionResult r = resolution(ps, toMilli(1000), Call::First, Majority::Unanimity, true);
    EXPECT_FALSE(r.approved);
    EXPECT_EQ(resultLine(r, true),
              "Non approvata: favorevoli 4 (800.000 millesimi), contrari 0 (0.000 millesimi), astenuti 1 (200.000 "
              "millesimi); richiesti 5 partecipanti e 1000.000 millesimi favorevoli; margine -1 partecipanti e "
              "-200.000 millesimi");
}

TEST(MeetingResolution, MajorityCodesRoundTrip)
{
    for (int i = 0; i < majorityCaptions().size(); ++i) {
        const auto m = Majority(i);
        EXPECT_EQ(majorityFromCode(majorityCode(m)), m);
    }
    EXPECT_EQ(majorityFromCode("sconosciuta"), Majority::Ordinary);
    EXPECT_EQ(milliText(-1500), "-1.500");
    EXPECT_EQ(toMilli(333.3335), 333334);
}

TEST(MeetingQuorum, ATableWithoutThousandthsConstitutesNothing)
{
    auto ps = even(4, 0);
    attend(ps, {0, 1, 2, 3});
    for (Call call : {Call::First, Call::Second}) {
        const Constitution c = constitution(ps, 0, call);
        EXPECT_FALSE(c.constituted);
        EXPECT_TRUE(quorumLine(c, call).endsWith("la tabella scelta non ha millesimi, scegliere quella del valore dell'edificio"))
            << quorumLine(c, call).toStdString();
    }
}
