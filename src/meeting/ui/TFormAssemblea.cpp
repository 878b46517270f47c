#include "meeting/ui/TFormAssemblea.h"

#include "allocation/MillesimalTables.h"
#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"
#include "documents/LetterVariables.h"
#include "meeting/MeetingDocuments.h"
#include "meeting/ui/MeetingGrids.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace velcaris::meeting::ui {

namespace {

enum AttendanceColumn { ColName, ColMilli, ColState, ColDelegate, ColArrival, ColDeparture };

QString meetingCaption(const MeetingRecord& m)
{
    return QStringLiteral("%1 - %2, %3")
        .arg(QStringList{documents::shortDate(m.data.data), m.data.ora}.join(u' ').trimmed(),
             m.data.straordinaria ? QStringLiteral("straordinaria") : QStringLiteral("ordinaria"),
             m.data.call == Call::First ? QStringLiteral("prima convocazione") : QStringLiteral("seconda convocazione"));
}

} // namespace

TFormAssemblea::TFormAssemblea(const app::DialogContext& context)
    : QDialog(context.window), context_(context), pdf_(this)
{
    setObjectName(QStringLiteral("FormAssemblea"));
    setWindowTitle(QStringLiteral("Assemblea"));
    resize(980, 720);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildMeetingBox());

    quorum_ = new QLabel(this);
    quorum_->setObjectName(QStringLiteral("LabelQuorum"));
    quorum_->setWordWrap(true);
    quorum_->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; padding: 4px; }"));
    layout->addWidget(quorum_);
    proxies_ = new QLabel(this);
    proxies_->setObjectName(QStringLiteral("LabelDeleghe"));
    proxies_->setWordWrap(true);
    proxies_->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));
    layout->addWidget(proxies_);

    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageAssemblea"));
    pages->addTab(buildAttendancePage(), QStringLiteral("Presenze"));
    pages->addTab(buildResolutionPage(), QStringLiteral("Delibere"));
    layout->addWidget(pages, 1);

    auto* bottom = new QHBoxLayout;
    layout->addLayout(bottom);
    connect(button("BFoglioPresenze", QStringLiteral("Foglio presenze"), this), &QPushButton::clicked, this,
            [this] { produce(false); });
    connect(button("BVerbaleVotazioni", QStringLiteral("Verbale votazioni"), this), &QPushButton::clicked, this,
            [this] { produce(true); });
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LabelStatoAssemblea"));
    bottom->addWidget(findChild<QPushButton*>(QStringLiteral("BFoglioPresenze")));
    bottom->addWidget(findChild<QPushButton*>(QStringLiteral("BVerbaleVotazioni")));
    bottom->addWidget(status_, 1);
    QPushButton* close = button("BChiudi", QStringLiteral("Chiudi"), this);
    bottom->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    connect(&pdf_, &platform::PdfConverter::finished, this, [this](const QStringList& pdfs, const QString& error) {
        status_->setText(error.isEmpty() ? QStringLiteral("Copia PDF creata: %1").arg(pdfs.value(0)) : error);
    });
}

QPushButton* TFormAssemblea::button(const char* name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QWidget* TFormAssemblea::buildMeetingBox()
{
    auto* box = new QGroupBox(QStringLiteral("Assemblea"), this);
    box->setObjectName(QStringLiteral("GroupAssemblea"));
    auto* form = new QFormLayout(box);
    auto* row = new QHBoxLayout;
    meetings_ = new QComboBox(box);
    meetings_->setObjectName(QStringLiteral("ComboAssemblea"));
    row->addWidget(meetings_, 1);
    QPushButton* add = button("BNuovaAssemblea", QStringLiteral("Nuova"), box);
    QPushButton* remove = button("BEliminaAssemblea", QStringLiteral("Elimina"), box);
    row->addWidget(add);
    row->addWidget(remove);
    form->addRow(QStringLiteral("Assemblee dell'anno"), row);

    auto* fields = new QHBoxLayout;
    date_ = new QDateEdit(QDate::currentDate(), box);
    date_->setObjectName(QStringLiteral("DataAssemblea"));
    date_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    date_->setCalendarPopup(true);
    time_ = new QLineEdit(box);
    time_->setObjectName(QStringLiteral("OraAssemblea"));
    time_->setInputMask(QStringLiteral("09:99"));
    time_->setMaximumWidth(70);
    place_ = new QLineEdit(box);
    place_->setObjectName(QStringLiteral("LuogoAssemblea"));
    place_->setMaxLength(100);
    kind_ = new QComboBox(box);
    kind_->setObjectName(QStringLiteral("ComboTipoAssemblea"));
    kind_->addItems({QStringLiteral("Ordinaria"), QStringLiteral("Straordinaria")});
    call_ = new QComboBox(box);
    call_->setObjectName(QStringLiteral("ComboConvocazione"));
    call_->addItems({QStringLiteral("Prima convocazione"), QStringLiteral("Seconda convocazione")});
    table_ = new QComboBox(box);
    table_->setObjectName(QStringLiteral("ComboTabella"));
    for (auto [caption, widget] : {std::pair<const char*, QWidget*>{"Data", date_}, {"Ora", time_}, {"Luogo", place_}}) {
        auto* label = new QLabel(QString::fromLatin1(caption), box);
        label->setBuddy(widget);
        widget->setAccessibleName(label->text());
        fields->addWidget(label);
        fields->addWidget(widget, widget == place_ ? 1 : 0);
    }
    form->addRow(fields);
    auto* more = new QHBoxLayout;
    more->addWidget(kind_);
    more->addWidget(call_);
    auto* tableLabel = new QLabel(QStringLiteral("Tabella del valore"), box);
    tableLabel->setBuddy(table_);
    table_->setAccessibleName(tableLabel->text());
    more->addWidget(tableLabel);
    more->addWidget(table_, 1);
    QPushButton* save = button("BSalvaAssemblea", QStringLiteral("Salva"), box);
    more->addWidget(save);
    form->addRow(more);

    connect(meetings_, &QComboBox::activated, this, [this] { meetingChosen(); });
    connect(add, &QPushButton::clicked, this, [this] { newMeeting(); });
    connect(save, &QPushButton::clicked, this, [this] { saveMeeting(); });
    connect(remove, &QPushButton::clicked, this, [this] { removeMeeting(); });
    return box;
}

QWidget* TFormAssemblea::buildAttendancePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    attendance_ = grid(QStringLiteral("GridPresenze"),
                       {QStringLiteral("Partecipante"), QStringLiteral("Millesimi"), QStringLiteral("Presenza"),
                        QStringLiteral("Delegato"), QStringLiteral("Arrivo"), QStringLiteral("Uscita")},
                       page);
    layout->addWidget(attendance_, 1);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    auto* delegateLabel = new QLabel(QStringLiteral("Delegato"), page);
    delegate_ = new QComboBox(page);
    delegate_->setObjectName(QStringLiteral("ComboDelegato"));
    delegate_->setEditable(true); // an owner from the list, or an outside person typed in
    delegate_->setMinimumWidth(220);
    delegateLabel->setBuddy(delegate_);
    delegate_->setAccessibleName(delegateLabel->text());
    auto* timeLabel = new QLabel(QStringLiteral("Ora"), page);
    eventTime_ = new QTimeEdit(QTime::currentTime(), page);
    eventTime_->setObjectName(QStringLiteral("OraEvento"));
    eventTime_->setDisplayFormat(QStringLiteral("HH:mm"));
    timeLabel->setBuddy(eventTime_);
    eventTime_->setAccessibleName(QStringLiteral("Ora di arrivo o di uscita"));
    row->addWidget(delegateLabel);
    row->addWidget(delegate_, 1);
    row->addWidget(timeLabel);
    row->addWidget(eventTime_);
    const std::tuple<const char*, const char*, Attendance> marks[] = {
        {"BPresente", "Presente", Attendance::Present}, {"BDelega", "Delega", Attendance::Proxy},
        {"BAssente", "Assente", Attendance::Absent}};
    for (const auto& [name, text, how] : marks) {
        QPushButton* b = button(name, QString::fromLatin1(text), page);
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, how = how] { mark(how); });
    }
    QPushButton* out = button("BUscita", QStringLiteral("Uscita"), page);
    row->addWidget(out);
    connect(out, &QPushButton::clicked, this, [this] { markDeparture(); });
    return page;
}

bool TFormAssemblea::attempt(const std::function<app::Outcome()>& action)
{
    return app::runAndShow(this, action);
}

bool TFormAssemblea::attemptEdit(const std::function<app::Outcome()>& action, const std::function<void()>& showRowAsNow)
{
    return app::runEditAndShow(this, action, showRowAsNow);
}

void TFormAssemblea::start()
{
    app::Workspace& ws = *context_.workspace;
    if (ws.selection.condominium.isEmpty()) {
        app::showInformation(context_.window, kNoCondominium);
        return;
    }
    try {
        table_->clear();
        for (const auto& t : allocation::condominiumTables(ws, ws.selection.condominium))
            table_->addItem(t.data.nome, t.id);
        fillMeetings(0);
    } catch (const store::StoreError& e) {
        app::showFailure(context_.window, e.message());
        return;
    }
    status_->clear();
    if (app::EditDialog::blocking())
        exec();
    else
        open();
}

void TFormAssemblea::fillMeetings(qint64 select)
{
    const QVector<MeetingRecord> all = currentMeetings(*context_.workspace);
    meetings_->clear();
    int chosen = int(all.size()) - 1; // the latest, unless one is asked for
    for (int i = 0; i < all.size(); ++i) {
        meetings_->addItem(meetingCaption(all[i]), all[i].id);
        if (all[i].id == select)
            chosen = i;
    }
    meetings_->setCurrentIndex(chosen);
    if (chosen < 0)
        newMeeting();
    else
        meetingChosen();
}

void TFormAssemblea::meetingChosen()
{
    const qint64 id = meetings_->currentData().toLongLong();
    try {
        // Stamped before it is read: a change in between is refused later, never overwritten.
        meetingAsRead_ = store::stampRow(context_.workspace->mainDb(), QStringLiteral("Assemblee"),
                                         QStringLiteral("Id"), id);
        state_ = loadMeeting(*context_.workspace, id);
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        state_ = {};
        meetingAsRead_ = {};
    }
    const MeetingInput& m = state_.meeting.data;
    date_->setDate(m.data);
    time_->setText(m.ora);
    place_->setText(m.luogo);
    kind_->setCurrentIndex(m.straordinaria ? 1 : 0);
    call_->setCurrentIndex(m.call == Call::Second ? 1 : 0);
    table_->setCurrentIndex(table_->findData(m.tableId));
    fillParticipants();
    fillResolutions(0);
}

void TFormAssemblea::newMeeting()
{
    state_ = {};
    meetingAsRead_ = {};
    meetings_->setCurrentIndex(-1);
    date_->setDate(QDate::currentDate());
    time_->clear();
    place_->clear();
    kind_->setCurrentIndex(0);
    call_->setCurrentIndex(0);
    table_->setCurrentIndex(table_->findData(preferredTable(*context_.workspace, context_.workspace->selection.condominium)));
    fillParticipants();
    fillResolutions(0);
}

void TFormAssemblea::saveMeeting()
{
    MeetingInput in;
    in.data = date_->date();
    in.ora = time_->text() == QStringLiteral(":") ? QString() : time_->text();
    in.luogo = place_->text();
    in.straordinaria = kind_->currentIndex() == 1;
    in.call = call_->currentIndex() == 1 ? Call::Second : Call::First;
    in.tableId = table_->currentData().toLongLong();
    in.asRead = meetingAsRead_;
    qint64 id = state_.meeting.id;
    app::Workspace& ws = *context_.workspace;
    const auto action = [&] {
        app::Outcome o = id == 0 ? addMeeting(ws, in) : modifyMeeting(ws, id, in);
        if (o.done && id == 0)
            id = o.newKey.value_or(0);
        return o;
    };
    // Changed by another desk meanwhile: the meeting as it is now, stamped again when chosen; one
    // deleted meanwhile leaves the input shown.
    const auto showRowAsNow = [&] {
        if (readMeeting(ws, id))
            fillMeetings(id);
    };
    if (id == 0 ? attempt(action) : attemptEdit(action, showRowAsNow))
        fillMeetings(id);
}

void TFormAssemblea::removeMeeting()
{
    if (state_.meeting.id == 0)
        return;
    if (attempt([&] { return deleteMeeting(*context_.workspace, state_.meeting.id); }))
        fillMeetings(0);
}

void TFormAssemblea::fillParticipants()
{
    attendance_->setRowCount(int(state_.participants.size()));
    delegate_->clear();
    delegate_->addItem(QString(), 0);
    for (int row = 0; row < state_.participants.size(); ++row) {
        showParticipant(row);
        delegate_->addItem(state_.participants[row].name, state_.participants[row].personId);
    }
    delegate_->setCurrentIndex(0);
    recount();
}

void TFormAssemblea::showParticipant(int row)
{
    const Participant& p = state_.participants[row];
    setCell(attendance_, row, ColName, p.name);
    attendance_->item(row, ColName)->setData(Qt::UserRole, p.personId);
    setCell(attendance_, row, ColMilli, milliText(p.milli), true);
    setCell(attendance_, row, ColState, attendanceText(p.attendance));
    setCell(attendance_, row, ColDelegate, p.delegateName);
    setCell(attendance_, row, ColArrival, p.arrival);
    setCell(attendance_, row, ColDeparture, p.departure);
}

QVector<qint64> TFormAssemblea::selectedPersons(QTableWidget* g) const
{
    QVector<qint64> ids;
    for (const QModelIndex& index : g->selectionModel()->selectedRows(0))
        ids << g->item(index.row(), 0)->data(Qt::UserRole).toLongLong();
    return ids;
}

void TFormAssemblea::mark(Attendance how)
{
    const QString now = eventTime_->time().toString(QStringLiteral("HH:mm"));
    const QString typed = delegate_->currentText().trimmed();
    const int listed = delegate_->findText(typed);
    const qint64 delegateId = listed > 0 ? delegate_->itemData(listed).toLongLong() : 0;
    for (const qint64 person : selectedPersons(attendance_)) {
        const int i = state_.indexOf(person);
        const Participant& p = state_.participants[i];
        AttendanceInput in{person, how, delegateId, typed, QString(), QString()};
        // Arriving (or coming back) takes the time of the event; one already in keeps his.
        if (how != Attendance::Absent)
            in.arrival = p.counts() && !p.arrival.isEmpty() ? p.arrival : now;
        if (!attempt([&] { return setAttendance(*context_.workspace, state_, in); }))
            break;
        showParticipant(i);
    }
    recount();
}

void TFormAssemblea::markDeparture()
{
    const QString now = eventTime_->time().toString(QStringLiteral("HH:mm"));
    for (const qint64 person : selectedPersons(attendance_)) {
        const int i = state_.indexOf(person);
        const Participant& p = state_.participants[i];
        AttendanceInput in{person, p.attendance, p.delegateId, p.delegateName, p.arrival, now};
        if (!attempt([&] { return setAttendance(*context_.workspace, state_, in); }))
            break;
        showParticipant(i);
    }
    recount();
}

void TFormAssemblea::recount()
{
    if (state_.meeting.id == 0) {
        quorum_->setText(QStringLiteral("Nuova assemblea: inserire i dati e premere \"Salva\""));
        proxies_->clear();
        result_->clear();
        voters_->setRowCount(0);
        return;
    }
    CountInput in{state_.participants, state_.tableMilli, state_.meeting.data.call,
                  Majority(std::max(0, majority_->currentIndex()))};
    if (const QListWidgetItem* item = resolutions_->currentItem())
        in.majority = Majority(item->data(Qt::UserRole + 1).toInt());
    const MeetingCount c = count(in);
    quorum_->setText(quorumLine(c.constitution, in.call));
    quorum_->setStyleSheet(c.constitution.constituted ? QStringLiteral("QLabel { font-weight: bold; padding: 4px; color: #006000; }")
                                                      : QStringLiteral("QLabel { font-weight: bold; padding: 4px; color: #b00000; }"));
    QStringList warnings;
    for (const ProxyExcess& e : c.proxyExcesses)
        warnings << proxyWarning(e);
    proxies_->setText(warnings.join(u'\n'));
    result_->setText(currentResolution() == 0 ? QString() : resultLine(c.result, c.constitution.constituted));
    fillVoters();
}

void TFormAssemblea::produce(bool votingRecord)
{
    if (state_.meeting.id == 0) {
        app::showInformation(this, QStringLiteral("Salvare prima l'assemblea"));
        return;
    }
    MeetingDocument doc;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        doc = votingRecord ? produceVotingRecord(*context_.workspace, report_, state_, QDate::currentDate())
                           : produceAttendanceSheet(*context_.workspace, report_, state_, QDate::currentDate());
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    for (const app::Message& m : doc.outcome.messages)
        app::showMessage(this, m);
    if (doc.written.isEmpty())
        return;
    const QString name = QFileInfo(doc.written).fileName();
    if (pdf_.convert({doc.written}, QFileInfo(doc.written).absolutePath()))
        status_->setText(QStringLiteral("Documento scritto: %1; creazione della copia PDF in corso...").arg(name));
    else
        status_->setText(QStringLiteral("Documento scritto: %1 (LibreOffice non è installato: nessuna copia PDF)").arg(name));
}

} // namespace velcaris::meeting::ui
