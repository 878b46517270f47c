#include "accounts/RendicontoWorkbook.h"

#include "accounts/RendicontoSections.h"
#include "documents/LetterVariables.h"
#include "documents/ReportError.h"
#include "reports/RegisterExport.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::accounts {

QVector<reports::Sheet> rendicontoSheets(const Rendiconto& r, const PendingMatters& pending)
{
    QVector<reports::Sheet> sheets;
    for (const RendicontoSection& s : rendicontoSections(r, pending)) {
        reports::Sheet sheet = s.sheet;
        if (!s.notes.isEmpty()) {
            sheet.rows.push_back({});
            sheet.rows.push_back({reports::Cell::ofText(QStringLiteral("Note"))});
            for (const QString& note : s.notes)
                sheet.rows.push_back({reports::Cell::ofText(note)});
        }
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

QString rendicontoWorkbookPath(const app::Workspace& ws, const QString& yearName, const QDate& today)
{
    return documents::condominiumFolder(ws) + QStringLiteral("Rendiconto ") + reports::fileNamePart(yearName) +
           QStringLiteral(" - ") + documents::dateStamp(today) + QStringLiteral(".xlsx");
}

RendicontoFile exportRendiconto(app::Workspace& ws, const Rendiconto& r, const PendingMatters& pending,
                                const QDate& today)
{
    RendicontoFile out;
    if (ws.selection.condominium.isEmpty()) {
        out.outcome = app::Outcome::refused(QStringLiteral("Selezionare prima un condominio"));
        return out;
    }
    const QString path = rendicontoWorkbookPath(ws, r.year.name, today);
    try {
        documents::makeDocumentFolder(ws, QFileInfo(path).absolutePath());
    } catch (const documents::ReportError& e) {
        out.outcome = app::Outcome::failed(e.message());
        return out;
    }
    if (const QString error = reports::writeWorkbook(path, rendicontoSheets(r, pending)); !error.isEmpty()) {
        out.outcome = app::Outcome::failed(error);
        return out;
    }
    out.outcome = app::Outcome::accepted();
    out.written = path;
    return out;
}

} // namespace velcaris::accounts
