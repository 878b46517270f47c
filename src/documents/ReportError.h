#pragma once
// A failure of the template engine, carrying the text shown to the user as it stands.
#include <QString>
#include <stdexcept>

namespace velcaris::documents {

class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace velcaris::documents
