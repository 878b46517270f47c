#pragma once
// The columns a register reads and writes, named once: the SELECT list, the UPDATE assignments
// and the INSERT placeholders all come from the same list, so they cannot drift apart.
#include "store/Database.h"

#include <QString>
#include <QStringList>

namespace velcaris::store {

class ColumnList {
public:
    explicit ColumnList(QStringList names) : names_(std::move(names)) {}

    int size() const { return int(names_.size()); }
    // "Cognome", "Nome", ... quoted and comma separated.
    QString selectList() const { return quoted().join(QStringLiteral(", ")); }
    // "Cognome" = ?, "Nome" = ?, ...
    QString assignments() const { return quoted().join(QStringLiteral(" = ?, ")) + QStringLiteral(" = ?"); }
    // ?,?,... one per column (plus `extra` for columns written beside the list).
    QString placeholders(int extra = 0) const
    {
        QStringList marks;
        for (int i = 0; i < size() + extra; ++i)
            marks << QStringLiteral("?");
        return marks.join(u',');
    }

private:
    QStringList quoted() const
    {
        QStringList out;
        for (const QString& n : names_)
            out << quoteIdentifier(n);
        return out;
    }
    QStringList names_;
};

} // namespace velcaris::store
