#include "documents/DefaultTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// The resource lives in the static core library: it must be registered by name.
static void registerTemplateResource() { Q_INIT_RESOURCE(templates); }

namespace velcaris::documents {

namespace {

const QString kPrefix = QStringLiteral(":/templates/");

void ensureRegistered()
{
    static const bool done = (registerTemplateResource(), true);
    (void)done;
}

} // namespace

QStringList defaultTemplateKinds()
{
    ensureRegistered();
    QStringList kinds;
    for (const QString& file : QDir(kPrefix).entryList(QDir::Files, QDir::Name))
        kinds << QFileInfo(file).completeBaseName();
    return kinds;
}

QByteArray defaultTemplate(const QString& kind)
{
    ensureRegistered();
    QFile f(kPrefix + kind + QStringLiteral(".rtf"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TemplateInstall installDefaultTemplates(const QString& outputFolder)
{
    TemplateInstall result;
    QDir().mkpath(outputFolder);
    for (const QString& kind : defaultTemplateKinds()) {
        const QString target = QDir(outputFolder).filePath(kind + QStringLiteral(".rtf"));
        if (QFileInfo::exists(target))
            continue;
        // Written whole or not at all: a half-written template would be taken for the user's.
        QSaveFile out(target);
        if (out.open(QIODevice::WriteOnly) && out.write(defaultTemplate(kind)) >= 0 && out.commit())
            result.installed << kind;
        else
            result.failures << QStringLiteral("Impossibile scrivere il modello predefinito %1: %2")
                                   .arg(QDir::toNativeSeparators(target), out.errorString());
    }
    return result;
}

UpdatedTemplates installUpdatedTemplates(const QString& outputFolder)
{
    UpdatedTemplates result;
    QDir().mkpath(outputFolder);
    const QDir dir(outputFolder);
    const auto contents = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    for (const QString& kind : defaultTemplateKinds()) {
        const QByteArray shipped = defaultTemplate(kind);
        QString name = kind + QStringLiteral(".rtf");
        if (QFileInfo::exists(dir.filePath(name))) {
            if (contents(dir.filePath(name)) == shipped) {
                result.unchanged << kind;
                continue;
            }
            // The first "(nuovo)" name that is free or already holds this very version.
            bool already = false;
            for (int n = 1;; ++n) {
                name = n == 1 ? kind + QStringLiteral(" (nuovo).rtf") : kind + QStringLiteral(" (nuovo %1).rtf").arg(n);
                if (!QFileInfo::exists(dir.filePath(name)))
                    break;
                if (contents(dir.filePath(name)) == shipped) {
                    already = true;
                    break;
                }
            }
            if (already) {
                result.unchanged << kind;
                continue;
            }
        }
        QSaveFile out(dir.filePath(name));
        if (out.open(QIODevice::WriteOnly) && out.write(shipped) >= 0 && out.commit())
            result.written << name;
        else
            result.failures << QStringLiteral("Impossibile scrivere il modello %1: %2")
                                   .arg(QDir::toNativeSeparators(dir.filePath(name)), out.errorString());
    }
    return result;
}

} // namespace velcaris::documents
