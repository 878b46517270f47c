#pragma once
// A failure of the data store, carrying the engine's own text (shown to the user as it stands).
#include <QString>
#include <stdexcept>

namespace velcaris::store {

class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace velcaris::store
