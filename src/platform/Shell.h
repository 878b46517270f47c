#pragma once
// The operating-system shell: open or print a file with the program associated with its type.
#include <QString>
#include <QVector>

namespace velcaris::platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Both return false on failure, with lastError() describing it in Italian or in the
    // shell's own words.
    virtual bool open(const QString& path) = 0;
    virtual bool print(const QString& path) = 0;
    virtual QString lastError() const = 0;
};

// The desktop's shell: xdg-open to open, LibreOffice in headless mode to print.
class SystemShell : public Shell {
public:
    bool open(const QString& path) override;
    bool print(const QString& path) override;
    QString lastError() const override { return error_; }

private:
    QString error_;
};

// A shell that only records what it was asked, for tests; it can be told to fail.
class RecordingShell : public Shell {
public:
    struct Call {
        QString verb; // "open" or "print"
        QString path;
    };
    bool open(const QString& path) override;
    bool print(const QString& path) override;
    QString lastError() const override { return error_; }

    void failWith(const QString& message) { failMessage_ = message; }
    const QVector<Call>& calls() const { return calls_; }

private:
    QVector<Call> calls_;
    QString failMessage_;
    QString error_;
};

// The traditional texts of the shell's failure codes (0..32); "Reason unknown." for others.
QString shellResultText(int code);

} // namespace velcaris::platform
