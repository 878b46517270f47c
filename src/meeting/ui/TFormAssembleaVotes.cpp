// The agenda page of the meeting window: the resolutions with the majority each requires, the
// votes of those present or represented, and the live result of the chosen item.
#include "meeting/ui/TFormAssemblea.h"

#include "dialogkit/Messages.h"
#include "meeting/ui/MeetingGrids.h"
#include "store/RowStamp.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::meeting::ui {

QWidget* TFormAssemblea::buildResolutionPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    layout->addLayout(left, 2);
    resolutions_ = new QListWidget(page);
    resolutions_->setObjectName(QStringLiteral("ListDelibere"));
    left->addWidget(resolutions_, 1);
    auto* form = new QFormLayout;
    left->addLayout(form);
    subject_ = new QLineEdit(page);
    subject_->setObjectName(QStringLiteral("EditOggetto"));
    subject_->setMaxLength(250);
    form->addRow(QStringLiteral("Oggetto"), subject_);
    majority_ = new QComboBox(page);
    majority_->setObjectName(QStringLiteral("ComboMaggioranza"));
    majority_->addItems(majorityCaptions());
    form->addRow(QStringLiteral("Maggioranza"), majority_);
    auto* buttons = new QHBoxLayout;
    left->addLayout(buttons);
    QPushButton* add = button("BAggiungiDelibera", QStringLiteral("Aggiungi"), page);
    QPushButton* modify = button("BModificaDelibera", QStringLiteral("Modifica"), page);
    QPushButton* remove = button("BEliminaDelibera", QStringLiteral("Elimina"), page);
    for (QPushButton* b : {add, modify, remove})
        buttons->addWidget(b);
    connect(add, &QPushButton::clicked, this, [this] { saveResolution(true); });
    connect(modify, &QPushButton::clicked, this, [this] { saveResolution(false); });
    connect(remove, &QPushButton::clicked, this, [this] { removeResolution(); });
    connect(resolutions_, &QListWidget::currentRowChanged, this, [this] { resolutionChosen(); });

    auto* right = new QVBoxLayout;
    layout->addLayout(right, 3);
    voters_ = grid(QStringLiteral("GridVoti"),
                   {QStringLiteral("Partecipante"), QStringLiteral("Millesimi"), QStringLiteral("Voto")}, page);
    right->addWidget(voters_, 1);
    auto* votes = new QHBoxLayout;
    right->addLayout(votes);
    const std::tuple<const char*, const char*, Vote> kinds[] = {
        {"BFavorevole", "Favorevole", Vote::InFavour}, {"BContrario", "Contrario", Vote::Against},
        {"BAstenuto", "Astenuto", Vote::Abstained}, {"BNessunVoto", "Annulla voto", Vote::None}};
    for (const auto& [name, text, vote] : kinds) {
        QPushButton* b = button(name, QString::fromLatin1(text), page);
        votes->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, vote = vote] { castVote(vote); });
    }
    result_ = new QLabel(page);
    result_->setObjectName(QStringLiteral("LabelEsito"));
    result_->setWordWrap(true);
    right->addWidget(result_);
    return page;
}

void TFormAssemblea::fillResolutions(qint64 select)
{
    QVector<ResolutionRecord> items;
    if (state_.meeting.id != 0)
        items = resolutionsOf(*context_.workspace, state_.meeting.id);
    const QSignalBlocker quiet(resolutions_);
    resolutions_->clear();
    int chosen = items.isEmpty() ? -1 : 0;
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QListWidgetItem(QStringLiteral("%1. %2").arg(items[i].numero).arg(items[i].data.oggetto),
                                         resolutions_);
        item->setData(Qt::UserRole, items[i].id);
        item->setData(Qt::UserRole + 1, int(items[i].data.majority));
        item->setData(Qt::UserRole + 2, items[i].data.oggetto);
        if (items[i].id == select)
            chosen = i;
    }
    resolutions_->setCurrentRow(chosen);
    resolutionChosen();
}

qint64 TFormAssemblea::currentResolution() const
{
    const QListWidgetItem* item = resolutions_->currentItem();
    return item ? item->data(Qt::UserRole).toLongLong() : 0;
}

void TFormAssemblea::resolutionChosen()
{
    const QListWidgetItem* item = resolutions_->currentItem();
    resolutionAsRead_ = {};
    if (item) {
        subject_->setText(item->data(Qt::UserRole + 2).toString());
        majority_->setCurrentIndex(item->data(Qt::UserRole + 1).toInt());
    }
    try {
        showResolutionAsNow();
        applyVotes(state_, item ? votesOf(*context_.workspace, currentResolution()) : QHash<qint64, Vote>{});
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
    }
    recount();
}

void TFormAssemblea::showResolutionAsNow()
{
    QListWidgetItem* item = resolutions_->currentItem();
    if (!item)
        return;
    const qint64 id = item->data(Qt::UserRole).toLongLong();
    // Stamped before it is read: a change in between is refused later, never overwritten.
    resolutionAsRead_ = store::stampRow(context_.workspace->mainDb(), QStringLiteral("Delibere"), QStringLiteral("Id"), id);
    // One deleted meanwhile leaves what is shown.
    const std::optional<ResolutionRecord> now = readResolution(*context_.workspace, id);
    if (!now)
        return;
    item->setText(QStringLiteral("%1. %2").arg(now->numero).arg(now->data.oggetto));
    item->setData(Qt::UserRole + 1, int(now->data.majority));
    item->setData(Qt::UserRole + 2, now->data.oggetto);
    subject_->setText(now->data.oggetto);
    majority_->setCurrentIndex(int(now->data.majority));
}

void TFormAssemblea::saveResolution(bool add)
{
    if (state_.meeting.id == 0) {
        app::showInformation(this, QStringLiteral("Salvare prima l'assemblea"));
        return;
    }
    ResolutionInput in;
    in.oggetto = subject_->text();
    in.majority = Majority(majority_->currentIndex());
    qint64 id = currentResolution();
    if (!add && id == 0)
        return;
    if (!add)
        in.asRead = resolutionAsRead_;
    app::Workspace& ws = *context_.workspace;
    const auto action = [&] {
        app::Outcome o = add ? addResolution(ws, state_.meeting.id, in) : modifyResolution(ws, id, in);
        if (o.done && add)
            id = o.newKey.value_or(0);
        return o;
    };
    const auto showRowAsNow = [this] {
        showResolutionAsNow();
        recount();
    };
    if (add ? attempt(action) : attemptEdit(action, showRowAsNow))
        fillResolutions(id);
}

void TFormAssemblea::removeResolution()
{
    const qint64 id = currentResolution();
    if (id != 0 && attempt([&] { return deleteResolution(*context_.workspace, id); }))
        fillResolutions(0);
}

void TFormAssemblea::fillVoters()
{
    const QVector<qint64> kept = selectedPersons(voters_);
    voters_->clearSelection();
    int row = 0;
    for (const Participant& p : state_.participants)
        row += p.counts() ? 1 : 0;
    voters_->setRowCount(row);
    row = 0;
    for (const Participant& p : state_.participants) {
        if (!p.counts())
            continue;
        setCell(voters_, row, 0, p.name);
        voters_->item(row, 0)->setData(Qt::UserRole, p.personId);
        setCell(voters_, row, 1, milliText(p.milli), true);
        setCell(voters_, row, 2, voteText(p.vote));
        if (kept.contains(p.personId))
            voters_->selectionModel()->select(voters_->model()->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ++row;
    }
}

void TFormAssemblea::castVote(Vote vote)
{
    const qint64 resolution = currentResolution();
    if (resolution == 0) {
        app::showInformation(this, QStringLiteral("Scegliere la delibera da votare"));
        return;
    }
    for (const qint64 person : selectedPersons(voters_))
        if (!attempt([&] { return setVote(*context_.workspace, state_, resolution, person, vote); }))
            break;
    recount();
}

} // namespace velcaris::meeting::ui
