#include "registry/NameRules.h"

namespace velcaris::registry {

QString fileNameRefusedCharacters()
{
    return QStringLiteral("/\\:*?\"<>|");
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
