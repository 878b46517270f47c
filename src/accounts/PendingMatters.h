#pragma once
// What is still open at the end of a year, beside the figures, for the rendiconto's nota
// sintetica: the interventions not concluded and the deadlines not done. The owners in arrears
// and the suppliers to pay are the financial summary's credits and debts.
#include "accounts/AccountingYear.h"
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace velcaris::accounts {

struct OpenIntervention {
    qint64 id = 0;
    QDate date;
    QString contact;     // Contatto
    QString description; // Descrizione
};

struct OpenDeadline {
    qint64 id = 0;
    QDate due;
    QString subject;     // Soggetto
    QString description;
    store::Money amount;
};

struct PendingMatters {
    QVector<OpenIntervention> interventions; // by date, then key
    QVector<OpenDeadline> deadlines;         // by due date, then key
};

// The condominium's interventions not concluded that were opened by the end of the year (every
// one when the year has no end date), and its deadlines not done, whatever their date: a deadline
// still open is a matter for the meeting even when it falls later.
PendingMatters readPendingMatters(store::Database& db, const AccountingYear& year);

} // namespace velcaris::accounts
