#pragma once
// The meeting window (caption "Assemblea"): the current condominium's meetings of its current
// year; for the chosen one, the attendance of its participants with the quorum line always in
// sight, the resolutions with their votes and live results, and the attendance sheet and voting
// record for the minutes. Every change is written at once and recounted.
#include "dialogkit/DialogContext.h"
#include "documents/RtfReport.h"
#include "meeting/Attendance.h"
#include "meeting/Resolutions.h"
#include "platform/PdfConverter.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTimeEdit;

namespace velcaris::meeting::ui {

class TFormAssemblea : public QDialog {
    Q_OBJECT
public:
    explicit TFormAssemblea(const app::DialogContext& context);

    // Opens over the window on the current condominium; says why when there is none.
    void start();

private:
    QWidget* buildMeetingBox();
    QWidget* buildAttendancePage();
    QWidget* buildResolutionPage();
    QPushButton* button(const char* name, const QString& text, QWidget* parent);

    // Runs a core action, shows its messages and any failure of the data store; true when done.
    bool attempt(const std::function<app::Outcome()>& action);
    // The same for a modification of the row shown: refused because another desk changed the row
    // since it was read, `showRowAsNow` shows it as it is now (stamped again) before the message.
    bool attemptEdit(const std::function<app::Outcome()>& action, const std::function<void()>& showRowAsNow);

    void fillMeetings(qint64 select);
    void meetingChosen();
    void newMeeting();
    void saveMeeting();
    void removeMeeting();

    void fillParticipants();
    void showParticipant(int row);
    void mark(Attendance how);
    void markDeparture();

    void fillResolutions(qint64 select);
    void resolutionChosen();
    // The chosen resolution stamped, then read and shown with its item of the agenda.
    void showResolutionAsNow();
    void saveResolution(bool add);
    void removeResolution();
    void fillVoters();
    void castVote(Vote vote);

    // The quorum line, the proxy warnings and the current resolution's result.
    void recount();
    void produce(bool votingRecord);

    qint64 currentResolution() const;
    QVector<qint64> selectedPersons(QTableWidget* grid) const;

    app::DialogContext context_;
    MeetingState state_;
    store::RowStamp meetingAsRead_;    // the chosen meeting's row as shown
    store::RowStamp resolutionAsRead_; // the chosen resolution's row as shown
    documents::TRtfReport report_;
    platform::PdfConverter pdf_;

    QComboBox* meetings_ = nullptr;
    QDateEdit* date_ = nullptr;
    QLineEdit* time_ = nullptr;
    QLineEdit* place_ = nullptr;
    QComboBox* kind_ = nullptr;
    QComboBox* call_ = nullptr;
    QComboBox* table_ = nullptr;
    QLabel* quorum_ = nullptr;
    QLabel* proxies_ = nullptr;
    QTableWidget* attendance_ = nullptr;
    QComboBox* delegate_ = nullptr;
    QTimeEdit* eventTime_ = nullptr;
    QListWidget* resolutions_ = nullptr;
    QLineEdit* subject_ = nullptr;
    QComboBox* majority_ = nullptr;
    QTableWidget* voters_ = nullptr;
    QLabel* result_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace velcaris::meeting::ui
