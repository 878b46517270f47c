#pragma once
// The web site's credentials of a person: generating them, and registering the person with them
// in the web database (access row, the condominium's bank data, the person's quotas of the
// current year).
#include "foundation/Workspace.h"

#include <QRandomGenerator>
#include <QString>

namespace velcaris::registry {

inline const QString kPasswordAlphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
constexpr int kPasswordLength = 6;

// The letters A-Z and a-z of the surname, in their order: "D'Angelo Rossi" -> "DAngeloRossi".
QString userIdFromSurname(const QString& surname);

// Six characters drawn independently and uniformly from kPasswordAlphabet. The default source is
// the operating system's generator, so that passwords cannot be guessed from the time of the press.
QString generatePassword(QRandomGenerator& source);
QString generatePassword();

// What a registration wrote.
struct WebRegistration {
    bool condominiumAdded = false;  // a CodiceCondominio row was created
    bool accessAdded = false;       // the Accesso row was created (false: updated)
    int quotasPublished = 0;
};

// Registers the person `personId` of `condominium` in the web database through the main
// connection (the web file is attached as "web"); the caller holds the transaction. Raises
// StoreError on a failure of either database.
WebRegistration registerOnWeb(app::Workspace& ws, qint64 personId, const QString& condominium,
                              const QString& surname, const QString& firstName, const QString& userId,
                              const QString& password);

} // namespace velcaris::registry
