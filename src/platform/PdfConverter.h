#pragma once
// PDF copies of written documents, made by LibreOffice in the background: one process for a
// whole run of documents (its start-up is the costly part), never one per document, and never
// waited for on the caller's thread.
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <QQueue>
#include <QString>
#include <QStringList>

namespace velcaris::platform {

class PdfConverter : public QObject {
    Q_OBJECT
public:
    explicit PdfConverter(QObject* parent = nullptr);
    ~PdfConverter() override;

    // soffice or libreoffice found on PATH; empty when LibreOffice is not installed.
    static QString officeProgram();
    // The PDF that a conversion of `document` writes beside it.
    static QString pdfPath(const QString& document);

    // Queues one conversion of `documents` into `folder` (PDFs beside the documents when they
    // are there). False, with nothing queued, when LibreOffice is missing or there is nothing
    // to convert. A run queued while another converts starts when that one ends.
    bool convert(const QStringList& documents, const QString& folder);
    // Another converter program taking LibreOffice's arguments (tests).
    void setProgram(const QString& program) { program_ = program; }
    bool busy() const { return process_ != nullptr; }
    // Waits for the queued conversions (tests and shutdown).
    bool waitForIdle(int msecs);

Q_SIGNALS:
    // One per conversion: the PDFs that exist afterwards, and an Italian explanation when some
    // are missing.
    void finished(const QStringList& pdfs, const QString& error);

private:
    struct Job {
        QStringList documents;
        QString folder;
    };
    void startNext();
    void done(int exitCode, QProcess::ExitStatus status);

    QString program_;
    QQueue<Job> queue_;
    Job current_;
    QProcess* process_ = nullptr;
    // LibreOffice's profile for this converter's runs, removed with it. Two runs sharing a profile
    // at the same time (two converters, two programs, parallel tests) would clash over its lock.
    std::unique_ptr<QTemporaryDir> profile_;
};

} // namespace velcaris::platform
