#pragma once
// Sharing an amount by weights exactly to the cent (the largest-remainder method): each part gets
// the whole cents of its exact share, and the cents left over go one each to the parts with the
// largest remainders, ties to the earlier part. The parts always add up to the amount.
#include "store/Money.h"

#include <QVector>
#include <optional>

namespace velcaris::allocation {

// The parts of `amount` in proportion to `weights` (a weight that is not positive takes nothing),
// in the order of the weights; the caller orders them so that ties go where they should (by
// unit Id). A negative amount is shared as its magnitude and every part takes its sign.
// std::nullopt when no weight is positive: there is nothing to share by.
std::optional<QVector<store::Money>> shareToTheCent(const QVector<double>& weights, store::Money amount);

} // namespace velcaris::allocation
