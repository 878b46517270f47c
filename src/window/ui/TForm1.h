#pragma once
// The main window: toolbar, totals bar, the twelve tabs with their registers and the list of
// condominiums. It owns the Workspace; every click makes one trip into the core (refreshWindow)
// and the window applies the view that comes back.
#include "window/Commands.h"
#include "window/TabLoading.h"
#include "window/WindowView.h"
#include "foundation/Workspace.h"
#include "dialogkit/DialogContext.h"
#include "window/ui/tabs/TabParts.h"
#include "documents/RtfReport.h"
#include "platform/Shell.h"

#include <QDialog>
#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace velcaris::app {

class BankPanel;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the data store's start-up in `paths`' folder; a failure is shown
    // in an error box titled "Velcaris" and the window opens with what was loaded.
    explicit TForm1(AppPaths paths, const std::function<void()>& progress = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    Workspace& workspace() { return *workspace_; }
    // The template engine every document goes through.
    documents::TRtfReport& modello() { return modello_; }
    const QString& startUpError() const { return startUpError_; }
    bool isMemoHighlighted() const { return memoHighlighted_; }
    Tab activeTab() const;
    TabToggles toggles() const;

    // Re-reads the condominium list from the Condomini table (the list sorts itself).
    void fillCondominiumList();
    // Chooses `name` in the list as a left click would (an empty name clears the choice).
    void selectCondominium(const QString& name);
    // The active tab read again with the selection as it is.
    void loadActiveTab();
    void applyGridLayouts();
    // The quota views' columns: `leading` first after the fixed columns.
    void orderQuotaColumns(const QStringList& leading);
    // The title of the quota column selected in the grouped quota view; empty when none is.
    QString selectedQuotaColumn() const;
    void showBalances();

    // What the dialogs are built with: the workspace, this window as parent, and the one
    // callback through which they report what they changed.
    DialogContext dialogContext();
    RegisterDialog dialogRegistrar();
    // A data-entry dialog opened by the add and modify commands, shown with the mode already set.
    void registerDialog(DialogId id, OpenDialog open);
    // What the last command did (for the window's own checks and tests).
    DialogId lastDialogOpened() const { return lastDialog_; }

    // "Esporta": the active tab's register as a workbook in the condominium's folder, opened
    // through the shell, and its rows on the clipboard.
    void exportActiveTab();
    // The shell exports are opened with (tests give a recording one); the system's by default.
    void setShell(platform::Shell* shell) { shell_ = shell; }
    // The workbook the last export wrote (empty when none).
    const QString& lastExport() const { return lastExport_; }

    // When false, failures and messages are only recorded (lastMessage(), takeMessages()), not shown (tests).
    static void setShowErrors(bool show);
    const QString& lastMessage() const { return lastMessage_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A control of the window itself, by name. The dialogs are children of the window too and
    // reuse some names (LabelNome, CheckApprovato): they are not searched.
    template <typename T>
    T own(const QString& name) const; // T is the pointer type, as for findChild

    QWidget* buildListPane();
    void connectCommands();
    void setMemoHighlighted(bool on);
    void makeGridsLive(int tabIndex);
    void showMessage(const QString& text);
    void showError(const QString& text);
    void runGuarded(const std::function<void()>& work);
    // Runs a loading of the registers once at a time, with the wait cursor.
    void withLoading(const std::function<void()>& work);

    // The trip: the request goes to the core, the view comes back and is applied.
    void refresh(SelectionChange change, const QString& name = {}, const QString& year = {});
    void apply(const WindowView& view);
    void applyTabView(const TabView& view);
    void applyBalances(const cashbook::Balances& balances);
    // A dialog reported what it changed.
    void changed(const Change& change);

    void listReleased(Qt::MouseButton button);
    void memoKeyReleased(QPlainTextEdit* editor);
    void openCommand(const Command& command, const QString& recipientMode = {});
    void showOnlyPlace(const QString& place);
    // "Elimina" of the active tab, or "-" of the millesimal tables.
    void deleteCommand(bool millesimalTable);
    // Before the start-up: a database missing beside its backup is restored or started empty.
    void askAboutMissingDatabases();
    // "Ripristina": a chosen backup in place of its database, and the office opened again.
    void restoreCommand();
    // "Trasferisci su server": the office's files copied into an empty server database; offered
    // only while the office is kept in files.
    void transferToServerCommand();
    void offerServerTransfer();
    // The status bar's line saying where the office is: its folder, or its server.
    void showOfficePlace();

    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<TabParts> parts_;
    documents::TRtfReport modello_;
    QString startUpError_;
    QString lastMessage_;
    QTabWidget* pageControl_ = nullptr;
    QListWidget* listBox_ = nullptr;
    // The watched children, kept so that the event filter never calls into them.
    QObject* listViewport_ = nullptr;
    QPushButton* bankButton_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
    QPlainTextEdit* dbMemo_ = nullptr;
    QLabel* hint_ = nullptr;
    BankPanel* bankPanel_ = nullptr;
    QAction* serverTransferAction_ = nullptr; // the toolbar's "Trasferisci su server"
    QAction* restoreAction_ = nullptr;        // the toolbar's "Ripristina"
    QHash<DialogId, OpenDialog> dialogs_;
    DialogRequest requestAtOpen_; // what the last dialog was opened with
    DialogId lastDialog_ = DialogId::None;
    bool memoHighlighted_ = false;
    bool loading_ = false;
    int changes_ = 0; // changes reported by dialogs, counted to tell whether an opened dialog wrote
    std::unique_ptr<platform::Shell> systemShell_;
    platform::Shell* shell_ = nullptr;
    QString lastExport_;
};

template <typename T>
inline T TForm1::own(const QString& name) const
{
    for (QObject* child : children()) {
        if (qobject_cast<QDialog*>(child))
            continue;
        if (child->objectName() == name)
            if (T found = qobject_cast<T>(child))
                return found;
        if (T found = child->findChild<T>(name))
            return found;
    }
    return nullptr;
}

} // namespace velcaris::app
