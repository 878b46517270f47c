#pragma once
// A failure of the data store, carrying the engine's own text and, where the engine said, what
// kind of failure it was (so that the program can explain it without knowing the engine).
#include <QString>
#include <stdexcept>

namespace velcaris::store {

enum class StoreFault {
    Other,
    NotADatabase, // not a database file, or one encrypted with another key
    Corrupt,      // a database whose pages do not agree
    MissingTable, // a database without the program's tables (empty or another program's)
    Busy,         // locked by another process
    CannotOpen,   // missing folder, no permission to read or write
    ReadOnly,
    DiskFull,
    // Overtaken by another connection: a serialization failure, a deadlock, a key or unique value
    // another wrote first, a row changed since it was read. Running the work again can cure it
    // (store/Retry.h).
    Conflict,
};

class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message, StoreFault fault = StoreFault::Other)
        : std::runtime_error(message.toStdString()), message_(message), fault_(fault) {}
    const QString& message() const { return message_; }
    StoreFault fault() const { return fault_; }

private:
    QString message_;
    StoreFault fault_;
};

} // namespace velcaris::store
