#include "window/ui/tabs/EntrateActions.h"

#include "allocation/OwnerStatement.h"
#include "allocation/QuotaSchedule.h"
#include "foundation/Selection.h"
#include "foundation/Settings.h"
#include "registry/Condominiums.h"
#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/Messages.h"
#include "window/ui/tabs/TabParts.h"
#include "cashbook/Receipt.h"
#include "documents/RtfReport.h"
#include "platform/PdfConverter.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QTableView>

namespace velcaris::app {

namespace {

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

class EntrateActions : public QObject {
public:
    EntrateActions(TabParts& parts, QTableView* grid) : QObject(grid), parts_(parts), grid_(grid), pdf_(this)
    {
        connect(grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.isValid())
                parts_.guarded([this, row = index.row()] { openReceipt(row); });
        });
        connect(&pdf_, &platform::PdfConverter::finished, this, [this](const QStringList&, const QString& error) {
            if (!error.isEmpty())
                showWarning(parts_.window, error);
        });
    }

private:
    void openReceipt(int row)
    {
        store::Dataset& entrate = parts_.ws.ds(QStringLiteral("ADOQueryEntrate"));
        if (row < 0 || row >= entrate.rowCount())
            return;
        const QVariant numberValue = entrate.valueAt(row, QStringLiteral("Ricevuta"));
        bool numbered = false;
        const int number = numberValue.toString().trimmed().toInt(&numbered);
        if (!numbered || number <= 0) {
            showInformation(parts_.window, QStringLiteral("Questo movimento non ha una ricevuta: le ricevute "
                                                          "accompagnano solo i pagamenti delle quote."));
            return;
        }
        const QString condominium = entrate.valueAt(row, QStringLiteral("Condominio")).toString();
        const QString year = entrate.valueAt(row, QStringLiteral("AA")).toString();
        const QString persona = entrate.valueAt(row, QStringLiteral("Persona")).toString();
        const QString date = entrate.displayText(row, entrate.fieldIndex(QStringLiteral("Data")));
        const QString path = cashbook::receiptPath(parts_.ws, condominium, number, year);
        const bool exists = QFileInfo::exists(path);
        if (ConfirmWithCaptions(cashbook::receiptQuestion(exists, QString::number(number), persona, date),
                                DialogKind::Custom, {QStringLiteral("Si"), QStringLiteral("No")}, parts_.window)
            != 1)
            return;
        documents::TRtfReport& engine = parts_.modello ? *parts_.modello : own_;
        platform::Shell& shell = engine.shell();
        if (exists) {
            const WaitCursor wait;
            if (!shell.open(path))
                showWarning(parts_.window, QStringLiteral("Impossibile aprire la ricevuta \"%1\": %2")
                                               .arg(QDir::toNativeSeparators(path), shell.lastError()));
            return;
        }
        cashbook::ReceiptRun run;
        {
            const WaitCursor wait;
            run = cashbook::recreateReceipt(parts_.ws, engine, condominium, number, year,
                                            currentSettings().stamparicevute(), shell);
        }
        if (run.written)
            pdf_.convert({run.path}, QFileInfo(run.path).absolutePath());
        for (const QString& problem : run.problems)
            showWarning(parts_.window, problem);
    }

    TabParts& parts_;
    QTableView* grid_;
    documents::TRtfReport own_;
    platform::PdfConverter pdf_;
};

} // namespace

void connectEntrateActions(TabParts& parts, QTableView* grid)
{
    new EntrateActions(parts, grid);
}

void collectQuotas(TabParts& parts)
{
    const QString condominium = parts.ws.selection.condominium;
    if (condominium.isEmpty()) {
        showInformation(parts.window, registry::kChooseCondominiumFirst);
        return;
    }
    QVector<allocation::StatementPayer> payers;
    bool read = false;
    parts.guarded([&] {
        if (allocation::currentYearOf(parts.ws.mainDb(), condominium).isEmpty()) {
            showInformation(parts.window, kRequireYearMessage);
            return;
        }
        payers = allocation::statementPayers(parts.ws, condominium);
        read = true;
    });
    if (!read)
        return;
    if (payers.isEmpty()) {
        showInformation(parts.window, QStringLiteral("Nessun locale del condominio ha un proprietario o un inquilino: "
                                                     "indicarli nella scheda Locali."));
        return;
    }
    QStringList captions;
    for (const allocation::StatementPayer& payer : payers)
        captions << payer.caption();
    bool chosen = false;
    const QString caption = QInputDialog::getItem(parts.window, QStringLiteral("Incassa quote"),
                                                  QStringLiteral("Chi paga:"), captions, 0, false, &chosen);
    const int index = captions.indexOf(caption);
    if (!chosen || index < 0)
        return;
    const allocation::StatementPayer& payer = payers[index];
    DialogRequest request;
    request.tab = Tab::Entrate;
    request.statementPerson =
        StatementPerson{payer.subject.personId, payer.subject.owner, payer.name, payer.units.join(QStringLiteral(", "))};
    parts.openDialog(DialogId::TFSituazioneCondomino, request);
}

} // namespace velcaris::app
