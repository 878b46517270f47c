#include "foundation/DialogId.h"

namespace velcaris::app {

QString dialogClassName(DialogId id)
{
    switch (id) {
    case DialogId::None: return QString();
    case DialogId::TFormCondomini: return QStringLiteral("TFormCondomini");
    case DialogId::TFormAssociafornitore: return QStringLiteral("TFormAssociafornitore");
    case DialogId::TFormFornitore: return QStringLiteral("TFormFornitore");
    case DialogId::TFScadenzario: return QStringLiteral("TFScadenzario");
    case DialogId::TFInterventi: return QStringLiteral("TFInterventi");
    case DialogId::TFormUscite: return QStringLiteral("TFormUscite");
    case DialogId::TFEntrateSpeciali: return QStringLiteral("TFEntrateSpeciali");
    case DialogId::TFormPreventivo: return QStringLiteral("TFormPreventivo");
    case DialogId::TFormAnagrafe: return QStringLiteral("TFormAnagrafe");
    case DialogId::TFLocali: return QStringLiteral("TFLocali");
    case DialogId::TFRipartizione: return QStringLiteral("TFRipartizione");
    case DialogId::TFormModificaQuote: return QStringLiteral("TFormModificaQuote");
    case DialogId::TFormTabelle: return QStringLiteral("TFormTabelle");
    case DialogId::TFormAA: return QStringLiteral("TFormAA");
    case DialogId::TFSituazioneCondomino: return QStringLiteral("TFSituazioneCondomino");
    case DialogId::TFEntrate: return QStringLiteral("TFEntrate");
    case DialogId::TFormEmail: return QStringLiteral("TFormEmail");
    case DialogId::TFormPubbica: return QStringLiteral("TFormPubbica");
    case DialogId::TFormRicerca: return QStringLiteral("TFormRicerca");
    case DialogId::TFormFAQ: return QStringLiteral("TFormFAQ");
    case DialogId::TFormAssemblea: return QStringLiteral("TFormAssemblea");
    case DialogId::TFRendiconto: return QStringLiteral("TFRendiconto");
    case DialogId::TFImportaFatture: return QStringLiteral("TFImportaFatture");
    case DialogId::TFImportaFoglio: return QStringLiteral("TFImportaFoglio");
    }
    return QString();
}

} // namespace velcaris::app
