#include "registry/NameRules.h"

namespace velcaris::registry {

QString fileNameRefusedCharacters()
{
    // NUL too: it ends a file name for the system and a text for the database engine's C side.
    return QStringLiteral("/\\:*?\"<>|") + QChar(u'\0');
}

QString condominiumRefusedCharacters()
{
    return fileNameRefusedCharacters() + u'-';
}

QString withoutRefused(const QString& text, const QString& refused, bool* removed)
{
    QString clean;
    clean.reserve(text.size());
    bool any = false;
    for (const QChar c : text) {
        if (refused.contains(c))
            any = true;
        else
            clean += c;
    }
    if (removed)
        *removed = any;
    return clean;
}

} // namespace velcaris::registry
