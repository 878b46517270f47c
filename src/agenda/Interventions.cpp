#include "agenda/Interventions.h"

#include "foundation/Selection.h"
#include "store/Database.h"

#include <QDateTime>

namespace velcaris::agenda {

namespace {
const QString kInterventi = QStringLiteral("ADOQueryInterventi");
} // namespace

QStringList contactTypes(app::Workspace& ws)
{
    QStringList types;
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Tipo FROM TipoAvvisi ORDER BY Id"));
    while (st.step())
        types << st.value(0).toString();
    return types;
}

InterventionInput newIntervention(app::Workspace& ws, const QDateTime& now)
{
    InterventionInput input;
    input.condominio = ws.selection.condominium;
    input.aa = app::currentYearName(ws);
    input.tipoContatto = contactTypes(ws).value(0);
    input.data = now.date();
    input.ora = QTime(now.time().hour(), now.time().minute());
    return input;
}

std::optional<InterventionInput> currentIntervention(app::Workspace& ws)
{
    store::Dataset& ds = ws.ds(kInterventi);
    if (!ds.isActive() || ds.isEmpty() || ds.recNo() < 0)
        return std::nullopt;
    InterventionInput input;
    input.condominio = ds.value(QStringLiteral("Condominio")).toString();
    input.aa = ds.value(QStringLiteral("AA")).toString();
    input.contatto = ds.value(QStringLiteral("Contatto")).toString();
    input.motivo = ds.value(QStringLiteral("Descrizione")).toString();
    input.tipoContatto = ds.value(QStringLiteral("TipoContatto")).toString();
    input.data = QDate::fromString(ds.value(QStringLiteral("Data")).toString().left(10), Qt::ISODate);
    input.ora = QTime::fromString(ds.value(QStringLiteral("Ora")).toString().left(5), QStringLiteral("HH:mm"));
    input.durata = ds.value(QStringLiteral("Durata")).toString();
    input.concluso = ds.value(QStringLiteral("Concluso")).toBool();
    return input;
}

app::Outcome saveIntervention(app::Workspace& ws, app::EditMode mode, const InterventionInput& input)
{
    store::Dataset& ds = ws.ds(kInterventi);
    if (mode == app::EditMode::Modify && (ds.isEmpty() || ds.recNo() < 0))
        return app::Outcome::refused(QStringLiteral("Nessun intervento da modificare"));
    try {
        if (mode == app::EditMode::Add)
            ds.append();
        else
            ds.edit();
        ds.setValue(QStringLiteral("Condominio"), input.condominio);
        ds.setValue(QStringLiteral("AA"), input.aa);
        ds.setValue(QStringLiteral("Contatto"), input.contatto);
        ds.setValue(QStringLiteral("Descrizione"), input.motivo);
        ds.setValue(QStringLiteral("TipoContatto"), input.tipoContatto);
        ds.setValue(QStringLiteral("Data"), input.data);
        ds.setValue(QStringLiteral("Ora"), QTime(input.ora.hour(), input.ora.minute()));
        ds.setValue(QStringLiteral("Durata"), input.durata);
        ds.setValue(QStringLiteral("Concluso"), input.concluso);
        ds.post();
    } catch (...) {
        ds.cancel();
        throw;
    }
    return app::Outcome::accepted();
}

} // namespace velcaris::agenda
