#include "foundation/OutputPaths.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::app {

namespace {

// The path with its existing ancestor's links resolved and the rest cleaned.
QString resolved(const QString& path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const int slash = existing.lastIndexOf(u'/');
        if (slash < 0)
            break;
        rest = existing.mid(slash) + rest;
        existing = existing.left(slash);
    }
    const QString base = QFileInfo(existing.isEmpty() ? QStringLiteral("/") : existing).canonicalFilePath();
    return QDir::cleanPath(base + rest);
}

} // namespace

bool insideOutput(const AppPaths& paths, const QString& path)
{
    const QString root = resolved(paths.outputFolder());
    const QString target = resolved(path);
    return target == root || target.startsWith(root + u'/');
}

QString makeOutputFolder(const AppPaths& paths, const QString& folder)
{
    if (!insideOutput(paths, folder))
        return QStringLiteral("La cartella \"%1\" uscirebbe dalla cartella dei documenti \"%2\": il nome del condominio o "
                              "dell'anno contiene \"..\" o \"/\". Correggere il nome; nulla è stato scritto.")
            .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(paths.outputFolder()));
    if (QDir().mkpath(folder))
        return QString();
    return QStringLiteral("Impossibile creare la cartella \"%1\": controllare che il disco sia accessibile e che si "
                          "abbia il permesso di scrivervi.")
        .arg(QDir::toNativeSeparators(folder));
}

} // namespace velcaris::app
