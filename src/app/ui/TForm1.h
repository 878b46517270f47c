#pragma once
// The main window: toolbar, totals bar, the twelve tabs with their registers and the list of
// condominiums. It owns the Workspace and forwards its events to the core.
#include "app/Commands.h"
#include "app/TabLoading.h"
#include "app/Workspace.h"
#include "documents/RtfReport.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QToolBar;

namespace velcaris::app {

class DatasetModel;
class GridFooter;

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
    // The three refreshes of the window.
    void loadActiveTab();
    void applyGridLayouts();
    void showBalances();

    // A data-entry dialog opened by the add and modify commands, shown with the mode already set.
    void registerDialog(DialogId id, std::function<void()> open);
    // What the last command did (for the window's own checks and tests).
    DialogId lastDialogOpened() const { return lastDialog_; }

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

    QWidget* buildAgendaTab();
    QWidget* buildInterventiTab();
    QWidget* buildCondominiTab();
    QWidget* buildMemoTab();
    QWidget* buildPreventivoTab();
    QWidget* buildEntrateTab();
    QWidget* buildUsciteTab();
    QWidget* buildFornitoriTab();
    QWidget* buildAnagrafeTab();
    QWidget* buildLocaliTab();
    QWidget* buildQuoteTab();
    QWidget* buildStampeTab();
    void buildBankPanel();
    QTableView* makeGrid(const QString& name, const QString& dataset, QWidget* page, bool footer = false);
    QLineEdit* makeFigure(const QString& name, const QString& label, QWidget* parent, QToolBar* bar, bool bold = false,
                          const QColor* colour = nullptr);
    QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent);
    void connectCommands();
    void setMemoHighlighted(bool on);
    void makeGridsLive(int tabIndex);
    void showMessage(const QString& text);
    void showError(const QString& text);
    void runGuarded(const std::function<void()>& work);

    // Events of the condominium list, the year selector, the memo editors and the toggles.
    void listReleased(Qt::MouseButton button);
    void yearChosen(int index);
    void memoKeyReleased(QPlainTextEdit* editor);
    void exclusiveToggle(QPushButton* pressed, QPushButton* other);
    void applyTabView(const TabView& view);
    void openCommand(const Command& command);
    void placeOnlyMethod(const QString& place);
    void showBankSummary(bool onlyNegative);
    void findInGrid(QTableView* grid);

    std::unique_ptr<Workspace> workspace_;
    documents::TRtfReport modello_;
    QString startUpError_;
    QString lastMessage_;
    QString lastFind_;
    QTabWidget* pageControl_ = nullptr;
    QListWidget* listBox_ = nullptr;
    QWidget* panelCC_ = nullptr;
    QPlainTextEdit* memoCC_ = nullptr;
    QMenu* popupCC_ = nullptr;
    QHash<QWidget*, QList<DatasetModel*>> tabModels_;
    QHash<QString, GridFooter*> footers_;
    QHash<DialogId, std::function<void()>> dialogs_;
    DialogId lastDialog_ = DialogId::None;
    bool memoHighlighted_ = false;
    bool loading_ = false;
};

} // namespace velcaris::app
