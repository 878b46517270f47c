#include "window/ui/tabs/StampeActions.h"

#include "allocation/QuotaExplanation.h"
#include "dialogkit/Messages.h"
#include "window/ui/tabs/TabParts.h"
#include "documents/DefaultTemplates.h"
#include "documents/LetterRecipients.h"
#include "documents/LetterVariables.h"
#include "documents/Letters.h"
#include "documents/Notices.h"
#include "documents/RtfReport.h"
#include "meeting/MeetingNotice.h"
#include "window/ui/tabs/DocumentRuns.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace velcaris::app {

namespace {

class StampeActions : public PageActions {
public:
    StampeActions(TabParts& parts, QWidget* page) : PageActions(parts, page, QStringLiteral("i documenti sono scritti"))
    {
        on("Bstampa", [this] { printLetters(); });
        on("BStampa2", [this] { printNotice(); });
        on("BSelTutti", [this] { checkAll(true); });
        on("Button2", [this] { checkAll(false); });
        on("BselPropr", [this] { checkRole(documents::Recipients::Owners); });
        on("BSelInq", [this] { checkRole(documents::Recipients::Tenants); });
        on("BSpiegazioneQuote", [this] { explainQuotas(); });
        on("BModelliAggiornati", [this] { installUpdated(); });
    }

private:
    bool straordinaria() const { return find<QRadioButton>("TipoAssembleaStraordinaria")->isChecked(); }

    void checkAll(bool checked)
    {
        auto* list = find<QListWidget>("lista");
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }

    void checkRole(documents::Recipients which)
    {
        auto* list = find<QListWidget>("lista");
        QVector<qint64> ids;
        for (int i = 0; i < list->count(); ++i)
            ids << list->item(i)->data(Qt::UserRole).toLongLong();
        const QVector<bool> checked = documents::recipientsAmong(parts_.ws, ids, which);
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(checked[i] ? Qt::Checked : Qt::Unchecked);
    }

    void printLetters()
    {
        documents::LetterRequest rq;
        rq.kind = find<QComboBox>("TipoModello")->currentText();
        rq.straordinaria = straordinaria();
        rq.data1 = find<QDateEdit>("DataPrima")->date();
        rq.data2 = find<QDateEdit>("DataSeconda")->date();
        rq.mora = find<QCheckBox>("CheckBoxMora")->isChecked();
        rq.today = QDate::currentDate();
        rq.entries = checkListEntries<documents::LetterEntry>("lista");
        const documents::LetterRun run = runWithGauge("Gauge1", [&](const std::function<void(int)>& gauge) {
            return documents::produceLetters(parts_.ws, engine(), rq, gauge);
        });
        for (const Message& m : run.outcome.messages)
            showMessage(parts_.window, m);
    }

    void printNotice()
    {
        documents::NoticeRequest rq;
        rq.kind = find<QComboBox>("TipoModello2")->currentText();
        // The tax reports of the same list are the tax handlers' own.
        if (rq.kind == QLatin1String("Quadro AC") || rq.kind == QLatin1String("Modello 770"))
            return;
        rq.straordinaria = straordinaria();
        rq.data1 = find<QDateEdit>("DataPrima")->date();
        rq.data2 = find<QDateEdit>("DataSeconda")->date();
        rq.ora1 = find<QLineEdit>("OraPrima")->displayText();
        rq.ora2 = find<QLineEdit>("OraSeconda")->displayText();
        rq.memo = find<QPlainTextEdit>("MemoAvviso")->toPlainText();
        rq.luogo = find<QLineEdit>("LuogoAssemblea")->text();
        rq.today = QDate::currentDate();
        // A meeting chosen from the register gives its place, date, time and agenda.
        if (const qint64 meetingId = find<QComboBox>("AssembleaRegistro")->currentData().toLongLong(); meetingId > 0)
            rq = meeting::noticeFromMeeting(parts_.ws, meetingId, rq);
        documents::NoticeResult result;
        {
            const WaitCursor wait;
            result = documents::produceNotice(parts_.ws, engine(), rq);
        }
        if (!result.written.isEmpty())
            pdf_.convert({result.written});
        for (const Message& m : result.outcome.messages)
            showMessage(parts_.window, m);
    }

    void installUpdated()
    {
        const QString folder = parts_.ws.paths().outputFolder();
        const documents::UpdatedTemplates r = documents::installUpdatedTemplates(folder);
        QString text;
        if (r.written.isEmpty())
            text = QStringLiteral("I modelli della cartella Output sono già quelli forniti con il programma.");
        else
            text = QStringLiteral("Modelli scritti nella cartella %1:\n%2\n\nI modelli già presenti non sono stati "
                                  "modificati: un modello \"(nuovo)\" è la versione fornita con il programma; per "
                                  "usarla, rinominarla al posto del proprio dopo averli confrontati.")
                       .arg(QDir::toNativeSeparators(folder), r.written.join(u'\n'));
        if (!r.failures.isEmpty())
            showWarning(parts_.window, text + QStringLiteral("\n\n") + r.failures.join(u'\n'));
        else
            showInformation(parts_.window, text);
    }

    // "Come è calcolata la tua quota" for the checked owners, or for every owner when nobody is checked.
    void explainQuotas()
    {
        QVector<qint64> owners;
        auto* list = find<QListWidget>("lista");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                owners << list->item(i)->data(Qt::UserRole).toLongLong();
        allocation::ExplanationRun run;
        {
            const WaitCursor wait;
            run = allocation::produceExplanations(parts_.ws, engine(), owners, QDate::currentDate());
        }
        if (run.outcome.done && run.written.isEmpty())
            showInformation(parts_.window, QStringLiteral("Nessun proprietario tra le persone selezionate."));
        pdf_.convert(run.written);
        for (const Message& m : run.outcome.messages)
            showMessage(parts_.window, m);
        if (run.outcome.done && !run.written.isEmpty())
            status(QStringLiteral("Documenti \"Come è calcolata la tua quota\" scritti: %1, nella cartella del condominio.")
                       .arg(run.written.size()));
    }


};

} // namespace

void connectStampeActions(TabParts& parts, QWidget* page)
{
    new StampeActions(parts, page);
}

} // namespace velcaris::app
