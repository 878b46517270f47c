#pragma once
// Work that another desk may overtake, run again until it lands. On a server several desks write
// the same database at once: a transaction that read a row another then changed, a deadlock, a
// key another took first, all end in StoreFault::Conflict, and running the same work again (which
// reads afresh) cures them.
#include "store/Database.h"

#include <type_traits>

namespace velcaris::store {

// Waits before the retry that follows the attempt-th failure: a few milliseconds, growing with
// each attempt, drawn at random so that two desks that collided do not collide again in step.
void pauseBeforeRetry(int attempt);

// Runs work (which opens its own Transaction) and returns what it returns. When it raises a
// Conflict outside any open transaction it is run again, up to `attempts` times in all; the last
// Conflict, and any other failure, reaches the caller. Called inside an open transaction it runs
// once: the conflict belongs to the outer transaction, which its owner must roll back (on a server
// every later statement of it fails anyway), so it is not repeated here.
// Work that writes what a user typed over a row that may have changed (a dataset's post) should
// not be repeated: the user is to see the row as it is now, and decide.
template <class F>
auto retryOnConflict(Database& db, F&& work, int attempts = 8) -> std::invoke_result_t<F&>
{
    if (db.transactionDepth() > 0)
        return work();
    for (int attempt = 1;; ++attempt) {
        try {
            return work();
        } catch (const StoreError& e) {
            if (e.fault() != StoreFault::Conflict || attempt >= attempts || db.transactionDepth() > 0)
                throw;
        }
        pauseBeforeRetry(attempt);
    }
}

} // namespace velcaris::store
