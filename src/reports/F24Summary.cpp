#include "reports/F24Summary.h"

#include "documents/LetterVariables.h"
#include "reports/RegisterExport.h"
#include "reports/TaxYear.h"
#include "store/Database.h"

#include <QMap>
#include <cmath>

namespace velcaris::reports {

namespace {

QDate isoDate(const QVariant& v)
{
    return v.isNull() ? QDate() : QDate::fromString(v.toString().left(10), Qt::ISODate);
}

double cents(double v)
{
    return double(std::llround(v * 100.0)) / 100.0;
}

} // namespace

QDate f24DueDate(const QDate& month)
{
    const QDate next = QDate(month.year(), month.month(), 1).addMonths(1);
    return QDate(next.year(), next.month(), 16);
}

F24Summary f24Summary(app::Workspace& ws, const QString& yearText)
{
    F24Summary summary;
    const int year = referenceYear(yearText);
    if (year == 0) {
        summary.outcome = app::Outcome::refused(kRequireReferenceYear, app::MessageKind::Information);
        return summary;
    }
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT COALESCE(PeriodoRiferimento, DataPagamento) AS Mese, CodTributo, "
                                       "RitenuteOperate, DataRitenuta, Interessi, Ravvedimento FROM Uscite "
                                       "WHERE Condominio = ? AND COALESCE(CodTributo, '') <> '' "
                                       "AND COALESCE(pagato, 0) <> 0 "
                                       "AND substr(COALESCE(PeriodoRiferimento, DataPagamento), 1, 4) = ?"));
    st.bind(1, ws.selection.condominium);
    st.bind(2, QString::number(year));
    QMap<std::pair<QDate, QString>, F24Line> lines;
    while (st.step()) {
        const QDate day = isoDate(st.value(0));
        if (!day.isValid())
            continue;
        const QDate month(day.year(), day.month(), 1);
        const QString code = st.value(1).toString().trimmed();
        F24Line& line = lines[{month, code}];
        line.month = month;
        line.code = code;
        line.due = f24DueDate(month);
        line.withheld += st.value(2).toDouble();
        line.interest += st.value(4).toDouble();
        const QDate paid = isoDate(st.value(3));
        if (paid.isValid() && (!line.paidOn.isValid() || paid > line.paidOn))
            line.paidOn = paid;
        if (st.value(5).toInt() != 0 || (paid.isValid() && paid > line.due))
            line.late = true;
    }
    for (F24Line line : lines) {
        line.withheld = cents(line.withheld);
        line.interest = cents(line.interest);
        summary.lines << line;
    }
    summary.outcome = app::Outcome::accepted();
    return summary;
}

Sheet f24Sheet(const QVector<F24Line>& lines)
{
    Sheet sheet;
    sheet.name = QStringLiteral("F24");
    sheet.header = {QStringLiteral("Mese"),      QStringLiteral("Codice tributo"), QStringLiteral("Ritenute"),
                    QStringLiteral("Scadenza"),  QStringLiteral("Versato il"),     QStringLiteral("Interessi"),
                    QStringLiteral("Totale"),    QStringLiteral("In ritardo")};
    double withheld = 0, interest = 0;
    for (const F24Line& l : lines) {
        sheet.rows << QVector<Cell>{Cell::ofText(l.month.toString(QStringLiteral("MM/yyyy"))),
                                    Cell::ofText(l.code),
                                    Cell::ofAmount(l.withheld),
                                    Cell::ofDate(l.due),
                                    l.paidOn.isValid() ? Cell::ofDate(l.paidOn) : Cell{},
                                    Cell::ofAmount(l.interest),
                                    Cell::ofAmount(cents(l.withheld + l.interest)),
                                    Cell::ofText(l.late ? QStringLiteral("Sì") : QStringLiteral("No"))};
        withheld += l.withheld;
        interest += l.interest;
    }
    sheet.rows << QVector<Cell>{Cell::ofText(QStringLiteral("Totale")), Cell{}, Cell::ofAmount(cents(withheld)),
                                Cell{}, Cell{}, Cell::ofAmount(cents(interest)),
                                Cell::ofAmount(cents(withheld + interest)), Cell{}};
    return sheet;
}

QString f24Path(const app::Workspace& ws, const QString& year)
{
    return documents::condominiumFolder(ws) + fileNamePart(ws.selection.condominium) + QStringLiteral(" - F24 ") +
           QString::number(referenceYear(year)) + QStringLiteral(".xlsx");
}

} // namespace velcaris::reports
