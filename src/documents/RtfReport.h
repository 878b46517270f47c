#pragma once
// The template engine (the main window's component `Modello`): fills an RTF template with named
// text values and the rows of record sources, and writes the document.
#include "documents/RecordSource.h"
#include "documents/ReportError.h"
#include "documents/UserFunctions.h"

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

namespace velcaris::platform {
class Shell;
}

namespace velcaris::documents {

// Name/value pairs in insertion order; names trimmed, compared without regard to case, each
// present at most once.
class TVarList {
public:
    // Raises "Can't add report variable <name> - variable already exists".
    void add(const QString& name, const QString& value);
    void remove(const QString& name); // silent when absent
    void clear() { items_.clear(); }
    bool find(const QString& name, QString* value = nullptr) const;
    int count() const { return int(items_.size()); }
    QString name(int i) const { return items_[i].first; }
    QString value(int i) const { return items_[i].second; }
    QStringList text() const; // "name=value" per variable

private:
    int indexOf(const QString& name) const;
    QVector<QPair<QString, QString>> items_;
};

enum TRtfOption {
    moGraphicsBinary = 0x01,         // pictures as \bin data; off: as hexadecimal text
    moDotAsColon = 0x02,             // A.Importo as well as A:Importo
    moGraphicsWmfCompatible = 0x04,  // accepted, without effect
    moClearMissedFields = 0x08,      // a marker naming nothing known is removed, not kept
    moNumericFormatClearZero = 0x10, // FFIX, FNUM, FCUR, FITA and FEUR print nothing for zero
    moKeepRtfPar = 0x20,             // keep the paragraph end after a block marker alone on its line
};

class TRtfReport {
public:
    explicit TRtfReport(platform::Shell* shell = nullptr);
    ~TRtfReport();

    QString TrueValue = QStringLiteral("True");
    QString FalseValue = QStringLiteral("False");
    int Options = moGraphicsBinary | moDotAsColon;
    // Character set and language given to inserted text. Kept for the callers' sake: inserted
    // text is written with Unicode escapes, which need neither.
    int Charset = 1; // DEFAULT_CHARSET
    int Lang = 0;
    TUDFList UDFList1;

    // While a merge runs with DisableControls on, the screen controls bound to the scanned
    // sources are detached (so scanning does not repaint the window) and reattached
    // afterwards, also when the merge fails. The window supplies both handlers.
    bool DisableControls = true;
    std::function<void(const QVector<RecordSource*>&)> DetachControls;
    std::function<void(const QVector<RecordSource*>&)> AttachControls;

    void ClearVariables() { vars_.clear(); }
    void AddVariable(const QString& name, const QString& value) { vars_.add(name, value); }
    void RemoveVariable(const QString& name) { vars_.remove(name); }
    const TVarList& Variables() const { return vars_; }

    void SetInFile(const QString& path) { inFile_ = path; }
    const QString& InFile() const { return inFile_; }
    void SetOutFile(const QString& path) { outFile_ = path; }
    const QString& OutFile() const { return outFile_; }

    void SetShell(platform::Shell* shell) { shell_ = shell; }
    // The shell given, or the desktop's when none was.
    platform::Shell& shell();

    // Fills InFile into OutFile. The document is written to a temporary file and renamed over
    // OutFile only when the whole merge succeeded: a failing merge leaves OutFile as it was.
    void Merge(const QVector<RecordSource*>& datasets = {});
    // As Merge, then opens OutFile through the shell (showMode is kept for the callers' sake;
    // the desktop decides how the window is shown).
    void MergeAndOpen(const QVector<RecordSource*>& datasets = {}, int showMode = 5);

    // The merge itself, on a template held in memory.
    QByteArray MergeBytes(const QByteArray& rtfTemplate, const QVector<RecordSource*>& datasets = {});

    // Whether each written document is flushed to the disk before Merge returns. A run of many
    // letters turns it off: the wait per document would cost more than the merge itself.
    bool SyncEachDocument = true;

    // The most repetitions of any one scan block: a while-scan that never ends, or a body that
    // moves its own dataset back (FIRST, PRIOR), fails the merge once it is reached.
    int MaxLoopCount = 1000000;

private:
    TVarList vars_;
    QString inFile_;
    QString outFile_ = QStringLiteral("outfile.doc");
    platform::Shell* shell_ = nullptr;
    std::unique_ptr<platform::Shell> ownShell_;
};

} // namespace velcaris::documents
