#pragma once
// Whom an e-mail goes to: the addresses gathered from the persons' or the suppliers' register
// according to the button that opened the e-mail dialog.
#include "foundation/Workspace.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::publishing {

enum class RecipientMode {
    Tutti,                // every person of the condominium with an address
    Liberatorie,          // the persons who receive communications by e-mail
    Selezionati,          // the persons selected in the grid
    TuttiFornitori,       // every supplier of the condominium with an address
    SelezionatiFornitori, // the suppliers selected in the grid
};

// "tutti", "liberatorie", "selezionati", "tuttiFornitori", "selezionatiFornitori".
QString recipientModeText(RecipientMode mode);
std::optional<RecipientMode> recipientModeFromText(const QString& text);
bool isSupplierMode(RecipientMode mode);

// An address the message can be sent to: no blanks, one "@" with text on both sides. Anything
// else would reach nobody or, worse, somebody else.
bool isUsableAddress(const QString& address);

struct Recipients {
    QStringList addresses; // usable, in the register's order
    QStringList skipped;   // as written in the register, but unusable
};

// The addresses of the register rows that `mode` selects: the current condominium's (every
// condominium's when none is chosen), or the rows of the given keys (Anagrafe Id, Fornitori id).
// Empty addresses are left out; unusable ones are kept apart in `skipped`.
Recipients gatherRecipients(app::Workspace& ws, RecipientMode mode, const QVector<qint64>& selectedPersons,
                            const QVector<qint64>& selectedSuppliers);

} // namespace velcaris::publishing
