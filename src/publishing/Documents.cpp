#include "publishing/Documents.h"

#include <QFileInfo>

namespace velcaris::publishing {

YearChoice yearChoices(app::Workspace& ws, const QString& condominium)
{
    YearChoice choice;
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT nome, corrente FROM AnnoAmministrativo "
                                                    "WHERE idCondominio = ? ORDER BY Id DESC"));
    st.bind(1, condominium);
    while (st.step()) {
        if (st.value(1).toBool() && choice.current < 0)
            choice.current = int(choice.names.size());
        choice.names << st.value(0).toString();
    }
    if (choice.current < 0)
        choice.names.clear();
    return choice;
}

QString documentName(const QString& chosenPath)
{
    return QFileInfo(chosenPath).fileName();
}

app::Outcome publishDocument(app::Workspace& ws, const PublishInput& input)
{
    const QString& cond = ws.selection.condominium;
    if (cond.isEmpty())
        return app::Outcome::refused(kChooseCondominium, app::MessageKind::Information);
    if (input.document.isEmpty())
        return app::Outcome::refused(kChooseDocument, app::MessageKind::Information);
    store::Database& web = ws.webDb();
    web.exec(QStringLiteral("INSERT INTO Files (Condominio, AA, File, Data) VALUES (?, ?, ?, ?)"),
             {cond, input.withYear ? input.year : QString(), input.document, input.date});
    return app::Outcome::accepted(web.lastInsertId());
}

app::Outcome setDocumentYear(app::Workspace& ws, qint64 id, const QString& year)
{
    ws.webDb().exec(QStringLiteral("UPDATE Files SET AA = ? WHERE Id = ?"), {year, id});
    return app::Outcome::accepted(id);
}

app::Outcome withdrawDocument(app::Workspace& ws, qint64 id)
{
    ws.webDb().exec(QStringLiteral("DELETE FROM Files WHERE Id = ?"), {id});
    return app::Outcome::accepted();
}

} // namespace velcaris::publishing
