#include "documents/LetterVariables.h"

#include "documents/ReportError.h"
#include "foundation/OutputPaths.h"
#include "foundation/Selection.h"
#include "foundation/Settings.h"

namespace velcaris::documents {

QString shortDate(const QDate& day) { return day.toString(QStringLiteral("dd/MM/yyyy")); }

QString dateStamp(const QDate& day) { return app::DateWithDots(shortDate(day)); }

const QStringList& commonVariableNames()
{
    static const QStringList names{QStringLiteral("data"), QStringLiteral("condominio"),
                                   QStringLiteral("ind_condominio"), QStringLiteral("citta_cond"),
                                   QStringLiteral("amministratore")};
    return names;
}

void addCommonVariables(app::Workspace& ws, TRtfReport& report, const QDate& today)
{
    app::SplitCondominiumName(ws.selection, ws.selection.condominium);
    const QVariant town = ws.mainDb().scalar(QStringLiteral("SELECT Comune FROM Condomini WHERE Nome = ?"),
                                             {ws.selection.condominium});
    report.AddVariable(QStringLiteral("data"), shortDate(today));
    report.AddVariable(QStringLiteral("condominio"), ws.selection.shortName);
    report.AddVariable(QStringLiteral("ind_condominio"), ws.selection.address);
    report.AddVariable(QStringLiteral("citta_cond"), town.toString());
    report.AddVariable(QStringLiteral("amministratore"), app::currentSettings().amministratore);
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
