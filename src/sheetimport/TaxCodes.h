#pragma once
// The check character of an Italian codice fiscale (16 characters for a person, 11 digits for a
// company, the same as its partita IVA). A wrong one is worth a warning: the code was probably
// mistyped, but the register keeps what the user wrote.
#include <QString>

namespace velcaris::sheetimport {

// Empty when `code` is empty or well formed with the right check character; otherwise why not.
QString taxCodeProblem(const QString& code);

} // namespace velcaris::sheetimport
