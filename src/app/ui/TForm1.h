#pragma once
// The main window: toolbar, totals bar, the twelve tabs with their registers and the list of
// condominiums. It owns the Workspace; the rules live there and in the subsystems.
#include "app/Workspace.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QToolBar;

namespace velcaris::app {

class DatasetModel;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the data store's start-up in `paths`' folder; a failure is shown
    // in an error box titled "Velcaris" and the window opens with what was loaded.
    explicit TForm1(AppPaths paths, const std::function<void()>& progress = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    Workspace& workspace() { return *workspace_; }
    const QString& startUpError() const { return startUpError_; }
    bool isMemoHighlighted() const;
    // Re-reads the condominium list from the Condomini table (the list sorts itself).
    void fillCondominiumList();

    // When false, failures are kept in startUpError() instead of being shown (tests).
    static void setShowErrors(bool show);

private:
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
    QTableView* makeGrid(const QString& name, const QString& dataset, QWidget* parent);
    QLineEdit* makeFigure(const QString& name, const QString& label, QWidget* parent, QToolBar* bar, bool bold = false,
                          const QColor* colour = nullptr);
    QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent);
    void setMemoHighlighted(bool on);
    void showBalances();
    void makeGridsLive(int tabIndex);

    std::unique_ptr<Workspace> workspace_;
    QString startUpError_;
    QTabWidget* pageControl_ = nullptr;
    QListWidget* listBox_ = nullptr;
    QHash<QWidget*, QList<DatasetModel*>> tabModels_;
    bool memoHighlighted_ = false;
};

} // namespace velcaris::app
