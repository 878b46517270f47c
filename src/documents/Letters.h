#pragma once
// Letters to single persons of the current condominium, one document per checked entry of the
// list: the covering letters of a meeting and of its minutes, the account situation and the
// payment reminder.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "documents/DocumentBatch.h"
#include "documents/RtfReport.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace velcaris::documents {

inline const QString kAccompagnamentoAssemblea = QStringLiteral("Accompagnamento assemblea");
inline const QString kAccompagnamentoVerbale = QStringLiteral("Accompagnamento verbale");

// The letter kinds, in the order of the drop-down list.
const QStringList& letterKinds();

struct LetterEntry {
    qint64 personId = 0;
    QString caption; // "Cognome Nome", or the surname alone
    bool checked = false;
};

struct LetterRequest {
    QString kind;              // TipoModello; empty: nothing is merged
    QVector<LetterEntry> entries;
    bool straordinaria = false; // TipoAssemblea's second item
    QDate data1, data2;        // DataPrima, DataSeconda
    bool mora = false;         // CheckBoxMora
    QDate today;
};

using LetterRun = DocumentBatch;

// Produces the letters in the entries' order; `gauge` receives the gauge's position after each
// entry. The first failure ends the run: the outcome names the person, the template and the
// failure; the letters written before it stay.
LetterRun produceLetters(app::Workspace& ws, TRtfReport& report, const LetterRequest& request,
                         const std::function<void(int)>& gauge = {});

// The document of one letter to `entry` (the output path, whether or not it exists).
QString letterPath(const app::Workspace& ws, const QString& kind, const LetterEntry& entry, const QDate& today);

} // namespace velcaris::documents
