#pragma once
// Names that become parts of file and folder names refuse some characters while typed.
#include <QString>

namespace velcaris::registry {

inline const QString kRefusedCharacterMessage = QStringLiteral("Carattere non ammesso");

// / \ : * ? " < > | and NUL
QString fileNameRefusedCharacters();
// The condominium's name and address also refuse "-": it separates them in the full name.
QString condominiumRefusedCharacters();

// The text without the refused characters; `removed` tells whether any was there.
QString withoutRefused(const QString& text, const QString& refused, bool* removed = nullptr);

} // namespace velcaris::registry
