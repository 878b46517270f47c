#pragma once
// Functions that the program lends to its templates (UDFList1): a name, the bounds of the
// argument count and the handler that computes the result.
#include "documents/ReportValue.h"

#include <QVector>
#include <functional>

namespace velcaris::documents {

struct TUDF {
    QString Name;
    int ArgMinCount = 0;
    int ArgMaxCount = 0;
    int ResultType = 1; // 1: the result is a TReportVariable
    std::function<void(const QVector<TReportVariable>& args, TReportVariable& result)> OnCalculate;
};

class TUDFList {
public:
    // Replaces an item of the same name (names without regard to case).
    void add(const TUDF& udf);
    void remove(const QString& name);
    void clear() { items_.clear(); }
    const TUDF* find(const QString& name) const;
    int count() const { return int(items_.size()); }
    const TUDF& at(int i) const { return items_[i]; }

private:
    QVector<TUDF> items_;
};

inline void TUDFList::add(const TUDF& udf)
{
    for (TUDF& u : items_)
        if (u.Name.compare(udf.Name, Qt::CaseInsensitive) == 0) {
            u = udf;
            return;
        }
    items_.append(udf);
}

inline void TUDFList::remove(const QString& name)
{
    for (int i = 0; i < items_.size(); ++i)
        if (items_[i].Name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            items_.remove(i);
            return;
        }
}

inline const TUDF* TUDFList::find(const QString& name) const
{
    for (const TUDF& u : items_)
        if (u.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &u;
    return nullptr;
}

} // namespace velcaris::documents
