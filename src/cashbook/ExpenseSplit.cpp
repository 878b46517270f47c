#include "cashbook/ExpenseSplit.h"

#include "cashbook/AmountText.h"
#include "store/Database.h"

namespace velcaris::cashbook {

QVector<SplitLine> splitLines(app::Workspace& ws, const QString& condominium)
{
    QVector<SplitLine> lines;
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT DescrizioneVoceSpesa, Tabella FROM QueryPreventiviAC "
                                                    "WHERE Condominio = ? ORDER BY Tabella ASC, Id ASC"));
    st.bind(1, condominium);
    while (st.step())
        lines.push_back({st.value(0).toString(), st.value(1).toString(), QString()});
    return lines;
}

QVector<SplitLine> concernedLines(const QVector<SplitLine>& lines)
{
    QVector<SplitLine> out;
    for (const SplitLine& line : lines)
        if (!line.percentuale.trimmed().isEmpty())
            out.push_back(line);
    return out;
}

app::Outcome checkSplit(const QVector<SplitLine>& lines)
{
    std::int64_t millionths = 0;
    for (const SplitLine& line : concernedLines(lines)) {
        const std::optional<double> p = store::parseNumber(line.percentuale);
        if (!p)
            return app::Outcome::refused(
                QStringLiteral("\"%1\" non è una percentuale valida: scrivere un numero con il punto per i decimali")
                    .arg(line.percentuale));
        millionths += store::roundScaled(*p, 6);
    }
    if (millionths != 100'000'000)
        return app::Outcome::refused(kSplitSumMessage, app::MessageKind::Information);
    return app::Outcome::accepted();
}

QVector<store::Money> splitShares(store::Money whole, const QVector<double>& percentages)
{
    // The remainder goes to the last line with a percentage other than 0, so that a line of 0%
    // stays at 0.00.
    int rest = int(percentages.size()) - 1;
    while (rest > 0 && percentages[rest] == 0)
        --rest;
    QVector<store::Money> shares(percentages.size());
    store::Money given;
    for (int i = 0; i < percentages.size(); ++i) {
        if (i == rest)
            continue;
        shares[i] = store::Money::fromDouble(whole.toDouble() * percentages[i] / 100.0);
        given += shares[i];
    }
    if (rest >= 0)
        shares[rest] = whole - given;
    return shares;
}

} // namespace velcaris::cashbook
