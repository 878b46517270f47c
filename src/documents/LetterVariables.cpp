#include "documents/LetterVariables.h"

#include "documents/ReportError.h"
#include "foundation/OutputPaths.h"
#include "foundation/Selection.h"
#include "foundation/Settings.h"
#include "store/Database.h"

#include <QRegularExpression>

namespace velcaris::documents {

QString shortDate(const QDate& day) { return day.toString(QStringLiteral("dd/MM/yyyy")); }

QString dateStamp(const QDate& day) { return app::DateWithDots(shortDate(day)); }

const QStringList& studioVariableNames()
{
    static const QStringList names{
        QStringLiteral("amm_nome"),     QStringLiteral("amm_studio"),   QStringLiteral("amm_indirizzo"),
        QStringLiteral("amm_cap"),      QStringLiteral("amm_citta"),    QStringLiteral("amm_telefono"),
        QStringLiteral("amm_email"),    QStringLiteral("amm_pec"),      QStringLiteral("amm_cf"),
        QStringLiteral("intestazione"), QStringLiteral("intestazione_indirizzo"), QStringLiteral("intestazione_recapiti")};
    return names;
}

const QStringList& commonVariableNames()
{
    static const QStringList names = QStringList{QStringLiteral("data"), QStringLiteral("condominio"),
                                                 QStringLiteral("ind_condominio"), QStringLiteral("citta_cond"),
                                                 QStringLiteral("amministratore"), QStringLiteral("cf_condominio")}
                                     + studioVariableNames();
    return names;
}

void addStudioVariables(TRtfReport& report)
{
    const app::StudioIdentity& id = app::currentSettings().studio;
    const QString nome = app::currentSettings().amministratore.trimmed();
    const auto joined = [](const QStringList& parts, const QString& separator) {
        QStringList kept;
        for (const QString& p : parts)
            if (!p.trimmed().isEmpty())
                kept << p.trimmed();
        return kept.join(separator);
    };
    const auto labelled = [](const QString& label, const QString& value) {
        return value.trimmed().isEmpty() ? QString() : label + value.trimmed();
    };
    const QString town = joined({id.cap, id.citta}, QStringLiteral(" "));
    report.AddVariable(QStringLiteral("amm_nome"), nome);
    report.AddVariable(QStringLiteral("amm_studio"), id.studio.trimmed());
    report.AddVariable(QStringLiteral("amm_indirizzo"), id.indirizzo.trimmed());
    report.AddVariable(QStringLiteral("amm_cap"), id.cap.trimmed());
    report.AddVariable(QStringLiteral("amm_citta"), id.citta.trimmed());
    report.AddVariable(QStringLiteral("amm_telefono"), id.telefono.trimmed());
    report.AddVariable(QStringLiteral("amm_email"), id.email.trimmed());
    report.AddVariable(QStringLiteral("amm_pec"), id.pec.trimmed());
    report.AddVariable(QStringLiteral("amm_cf"), id.codiceFiscale.trimmed());
    report.AddVariable(QStringLiteral("intestazione"), id.studio.trimmed().isEmpty() ? nome : id.studio.trimmed());
    report.AddVariable(QStringLiteral("intestazione_indirizzo"), joined({id.indirizzo, town}, QStringLiteral(" - ")));
    report.AddVariable(QStringLiteral("intestazione_recapiti"),
                       joined({labelled(QStringLiteral("Tel. "), id.telefono), labelled(QStringLiteral("e-mail "), id.email),
                               labelled(QStringLiteral("PEC "), id.pec), labelled(QStringLiteral("C.F. "), id.codiceFiscale)},
                              QStringLiteral(" - ")));
}

QString salutation(const QString& surname, const QString& firstName, const QString& partitaIva)
{
    const QString last = surname.simplified();
    const QString first = firstName.simplified();
    // The legal forms of Italian companies, as their names end or contain them.
    static const QRegularExpression company(
        QStringLiteral("(^|[\\s,])(s\\.?\\s?r\\.?\\s?l\\.?(\\s?s\\.?)?|s\\.?\\s?p\\.?\\s?a\\.?|s\\.?\\s?n\\.?\\s?c\\.?|"
                       "s\\.?\\s?a\\.?\\s?s\\.?|s\\.\\s?s\\.|soc\\.?\\s*coop\\.?|societ[àa]\\s+cooperativa)(\\s|,|$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString whole = (last + u' ' + first).trimmed();
    if (company.match(whole).hasMatch() || (!partitaIva.trimmed().isEmpty() && first.isEmpty()))
        return QStringLiteral("Spett.le ") + whole;
    const QString name = first.isEmpty() ? last : first + u' ' + last;
    return name.isEmpty() ? QStringLiteral("Gentile condomino") : QStringLiteral("Gentile ") + name;
}

QString salutationOfPerson(app::Workspace& ws, qint64 personId)
{
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Cognome, Nome FROM Anagrafe WHERE Id = ?"));
    st.bind(1, personId);
    if (!st.step())
        return salutation(QString(), QString());
    return salutation(st.value(0).toString(), st.value(1).toString());
}

void addCommonVariables(app::Workspace& ws, TRtfReport& report, const QDate& today)
{
    app::SplitCondominiumName(ws.selection, ws.selection.condominium);
    const QVariant town = ws.mainDb().scalar(QStringLiteral("SELECT Comune FROM Condomini WHERE Nome = ?"),
                                             {ws.selection.condominium});
    const QVariant taxCode = ws.mainDb().scalar(QStringLiteral("SELECT Codice_fiscale FROM Condomini WHERE Nome = ?"),
                                                {ws.selection.condominium});
    report.AddVariable(QStringLiteral("data"), shortDate(today));
    report.AddVariable(QStringLiteral("condominio"), ws.selection.shortName);
    report.AddVariable(QStringLiteral("ind_condominio"), ws.selection.address);
    report.AddVariable(QStringLiteral("citta_cond"), town.toString());
    report.AddVariable(QStringLiteral("amministratore"), app::currentSettings().amministratore);
    report.AddVariable(QStringLiteral("cf_condominio"), taxCode.toString());
    addStudioVariables(report);
}

void removeVariables(TRtfReport& report, const QStringList& names)
{
    for (const QString& name : names)
        report.RemoveVariable(name);
}

QString templatePath(const app::Workspace& ws, const QString& kind)
{
    return ws.paths().outputFolder() + kind + QStringLiteral(".rtf");
}

QString condominiumFolder(const app::Workspace& ws)
{
    return ws.paths().outputFolder() + ws.selection.condominium + u'/';
}

void makeDocumentFolder(const app::Workspace& ws, const QString& folder)
{
    if (const QString problem = app::makeOutputFolder(ws.paths(), folder); !problem.isEmpty())
        throw ReportError(problem);
}

} // namespace velcaris::documents
