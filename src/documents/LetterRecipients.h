#pragma once
// Who receives a letter and what a reminder lists: the person's role among the instalments, the
// filter of the instalments a letter lists, the owners or tenants among a list's entries and the
// gauge's position while a run goes through the list.
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace velcaris::documents {

inline const QString kSituazione = QStringLiteral("Situazione condomini");
inline const QString kSollecito = QStringLiteral("Sollecito");
inline const QString kSpeseOrdinarie = QStringLiteral("Spese ordinarie");

enum class PersonRole { Proprietario, Inquilino };

// "proprietario", unless the person owns no instalment's unit and rents one: then "inquilino".
// Every condominium's instalments count.
PersonRole personRole(app::Workspace& ws, qint64 personId);

// The filter of QuerySolleciti for a letter of `kind` ("Situazione condomini" or "Sollecito"):
// the person's instalments, for a tenant only the ordinary expenses, for a reminder only those
// due on `today` or earlier.
QString instalmentFilter(const QString& kind, PersonRole role, qint64 personId, const QDate& today);

// For each id, whether the person is an owner (or a tenant) of one of the current condominium's
// instalments.
enum class Recipients { Owners, Tenants };
QVector<bool> recipientsAmong(app::Workspace& ws, const QVector<qint64>& ids, Recipients which);

// The gauge after the entry at `index` of `count` entries: 100 / (count - 1) * index rounded to
// the nearest integer, halves to even; 100 when the list has one entry.
int gaugePosition(int index, int count);

} // namespace velcaris::documents
