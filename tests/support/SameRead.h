#pragma once
// What the tests of the two engines compare: a value as the program reads it from either, and the
// failure a piece of work raises.
#include "store/StoreError.h"

#include <QVariant>
#include <cmath>
#include <functional>

namespace velcaris::test {

// Two values the same as the program reads them: both empty, numbers by value, text exactly. With
// blankIsEmpty an empty text counts as empty too (what a file keeps as '' a server keeps as NULL).
inline bool sameCell(const QVariant& a, const QVariant& b, bool blankIsEmpty = false)
{
    auto empty = [blankIsEmpty](const QVariant& v) {
        return !v.isValid() || v.isNull() || (blankIsEmpty && v.typeId() == QMetaType::QString && v.toString().isEmpty());
    };
    if (empty(a) || empty(b))
        return empty(a) && empty(b);
    const bool aNum = a.typeId() == QMetaType::LongLong || a.typeId() == QMetaType::Double;
    const bool bNum = b.typeId() == QMetaType::LongLong || b.typeId() == QMetaType::Double;
    if (aNum != bNum)
        return false;
    if (aNum)
        return std::fabs(a.toDouble() - b.toDouble()) < 1e-9;
    return a.toString() == b.toString();
}

// The failure the work raises (a plain "nessun errore" when it raises none).
inline store::StoreError failureOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const store::StoreError& e) {
        return e;
    }
    return store::StoreError("nessun errore");
}

} // namespace velcaris::test
