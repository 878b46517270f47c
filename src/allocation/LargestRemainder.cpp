#include "allocation/LargestRemainder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace velcaris::allocation {

using store::Money;

std::optional<QVector<Money>> shareToTheCent(const QVector<double>& weights, Money amount)
{
    double total = 0;
    for (double w : weights)
        if (w > 0)
            total += w;
    if (!(total > 0))
        return std::nullopt;

    const std::int64_t magnitude = std::llabs(amount.cents());
    const int n = int(weights.size());
    QVector<std::int64_t> cents(n, 0);
    QVector<double> remainder(n, 0.0);
    std::int64_t given = 0;
    for (int i = 0; i < n; ++i) {
        if (!(weights[i] > 0))
            continue;
        const double exact = weights[i] * double(magnitude) / total;
        const double whole = std::floor(exact);
        cents[i] = std::int64_t(whole);
        remainder[i] = exact - whole;
        given += cents[i];
    }
    QVector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return remainder[a] > remainder[b]; });
    // What the whole cents left over: fewer than the parts, save for the doubles' own rounding,
    // which the loop absorbs by going round again.
    std::int64_t left = std::max<std::int64_t>(0, magnitude - given);
    for (int k = 0; left > 0; k = (k + 1) % n) {
        if (!(weights[order[k]] > 0))
            continue;
        ++cents[order[k]];
        --left;
    }

    QVector<Money> parts;
    parts.reserve(n);
    for (std::int64_t c : cents)
        parts << Money::fromCents(amount.cents() < 0 ? -c : c);
    return parts;
}

} // namespace velcaris::allocation
