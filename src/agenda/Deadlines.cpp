#include "agenda/Deadlines.h"

#include "store/Money.h"

namespace velcaris::agenda {

namespace {

const QString kScadenzario = QStringLiteral("ADOTableScadenzario");

// Leaves the dataset in browse state when writing fails half-way.
template <typename Work>
void writeRow(store::Dataset& ds, Work work)
{
    try {
        work();
        ds.post();
    } catch (...) {
        if (ds.state() == store::Dataset::State::Edit || ds.state() == store::Dataset::State::Insert)
            ds.cancel();
        throw;
    }
}

} // namespace

QString amountNotANumberMessage(const QString& typed)
{
    return QStringLiteral("\"%1\" non è un importo valido: scrivere un numero con il punto per i decimali, per esempio 12.50")
        .arg(typed);
}

std::optional<double> deadlineAmount(const QString& typed)
{
    if (typed.trimmed().isEmpty())
        return 0.0;
    const std::optional<store::Money> money = store::Money::parse(typed);
    if (!money)
        return std::nullopt;
    return money->toDouble();
}

DeadlineInput newDeadline(const app::Workspace& ws, const QDate& today)
{
    DeadlineInput input;
    input.condominio = ws.selection.condominium;
    input.scadenza = today;
    input.importo = QStringLiteral("0.00");
    return input;
}

std::optional<DeadlineInput> currentDeadline(app::Workspace& ws)
{
    store::Dataset& ds = ws.ds(kScadenzario);
    if (!ds.isActive() || ds.isEmpty() || ds.recNo() < 0)
        return std::nullopt;
    DeadlineInput input;
    input.condominio = ds.value(QStringLiteral("Condominio")).toString();
    input.soggetto = ds.value(QStringLiteral("Soggetto")).toString();
    input.descrizione = ds.value(QStringLiteral("Descrizione")).toString();
    input.scadenza = QDate::fromString(ds.value(QStringLiteral("DataScadenza")).toString().left(10), Qt::ISODate);
    input.importo = store::formatAmount(ds.value(QStringLiteral("Importo")).toDouble());
    input.esito = ds.value(QStringLiteral("Esito")).toBool();
    input.note = ds.value(QStringLiteral("Note")).toString();
    return input;
}

app::Outcome saveDeadline(app::Workspace& ws, app::EditMode mode, const DeadlineInput& input)
{
    const std::optional<double> amount = deadlineAmount(input.importo);
    if (!amount)
        return app::Outcome::refused(amountNotANumberMessage(input.importo), app::MessageKind::Error);
    store::Dataset& ds = ws.ds(kScadenzario);
    if (mode == app::EditMode::Modify && (ds.isEmpty() || ds.recNo() < 0))
        return app::Outcome::refused(QStringLiteral("Nessuna scadenza da modificare"));
    writeRow(ds, [&] {
        if (mode == app::EditMode::Add) {
            ds.append();
            ds.setValue(QStringLiteral("Condominio"), input.condominio);
        } else {
            ds.edit();
        }
        ds.setValue(QStringLiteral("Soggetto"), input.soggetto);
        ds.setValue(QStringLiteral("Descrizione"), input.descrizione);
        ds.setValue(QStringLiteral("DataScadenza"), input.scadenza);
        ds.setValue(QStringLiteral("Importo"), *amount);
        ds.setValue(QStringLiteral("Esito"), input.esito);
        ds.setValue(QStringLiteral("Note"), input.note);
    });
    return app::Outcome::accepted(ds.keyValue().toLongLong());
}

} // namespace velcaris::agenda
