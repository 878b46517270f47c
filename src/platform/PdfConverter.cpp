#include "platform/PdfConverter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace velcaris::platform {

PdfConverter::PdfConverter(QObject* parent) : QObject(parent) {}

PdfConverter::~PdfConverter()
{
    if (process_) {
        process_->disconnect(this);
        process_->waitForFinished(30000);
    }
}

QString PdfConverter::officeProgram()
{
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    return office;
}

QString PdfConverter::pdfPath(const QString& document)
{
    const QFileInfo info(document);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

bool PdfConverter::convert(const QStringList& documents, const QString& folder)
{
    if (documents.isEmpty())
        return false;
    if (program_.isEmpty())
        program_ = officeProgram();
    if (program_.isEmpty())
        return false;
    queue_.enqueue({documents, folder});
    if (!process_)
        startNext();
    return true;
}

void PdfConverter::startNext()
{
    if (queue_.isEmpty())
        return;
    current_ = queue_.dequeue();
    for (const QString& doc : current_.documents) // an old copy must not pass for this run's
        QFile::remove(QDir(current_.folder).filePath(QFileInfo(doc).completeBaseName() + QStringLiteral(".pdf")));
    process_ = new QProcess(this);
    process_->setProcessChannelMode(QProcess::MergedChannels);
    connect(process_, &QProcess::finished, this, &PdfConverter::done);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            done(-1, QProcess::CrashExit);
    });
    // A profile of its own: with the user's LibreOffice already open, a conversion in the
    // user's profile would be handed to that instance and could silently do nothing.
    if (!profile_)
        profile_ = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("velcaris-libreoffice-XXXXXX")));
    const QString profile = QUrl::fromLocalFile(profile_->path()).toString();
    QStringList args{QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                     QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"), current_.folder};
    args << current_.documents;
    process_->start(program_, args);
}

void PdfConverter::done(int exitCode, QProcess::ExitStatus status)
{
    if (!process_)
        return;
    QProcess* finishedProcess = process_;
    process_ = nullptr;
    finishedProcess->disconnect(this);
    finishedProcess->deleteLater();

    QStringList pdfs;
    QStringList missing;
    for (const QString& doc : current_.documents) {
        const QString pdf = QDir(current_.folder).filePath(QFileInfo(doc).completeBaseName() + QStringLiteral(".pdf"));
        if (QFileInfo::exists(pdf))
            pdfs << pdf;
        else
            missing << QFileInfo(doc).fileName();
    }
    QString error;
    if (!missing.isEmpty())
        error = QStringLiteral("PDF non creati da LibreOffice (%1): %2")
                    .arg(status == QProcess::NormalExit && exitCode >= 0 ? QStringLiteral("codice %1").arg(exitCode)
                                                                         : QStringLiteral("avvio non riuscito"),
                         missing.join(QStringLiteral(", ")));
    Q_EMIT finished(pdfs, error);
    startNext();
}

bool PdfConverter::waitForIdle(int msecs)
{
    QDeadlineTimer deadline(msecs);
    while (process_) {
        if (!process_->waitForFinished(int(deadline.remainingTime())) && process_) {
            if (process_->state() == QProcess::NotRunning)
                done(process_->exitCode(), process_->exitStatus());
            else
                return false;
        }
    }
    return true;
}

} // namespace velcaris::platform
