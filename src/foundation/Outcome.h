#pragma once
// What an action of the core tells the dialog that asked for it: done (the dialog closes, maybe
// with the key of the row it added), or refused with the messages to show while the dialog stays
// open with its input. A done action may still carry messages: warnings about something beside
// the rows (a folder) or information the user should read.
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::app {

enum class MessageKind { Information, Warning, Error, Question };

struct Message {
    MessageKind kind = MessageKind::Information;
    QString text;
    bool operator==(const Message&) const = default;
};

struct Outcome {
    bool done = false;
    QVector<Message> messages;
    std::optional<qint64> newKey; // the row an add wrote
    // Refused because another desk changed or deleted the row since the dialog read it (see
    // store/RowStamp.h): nothing was written, and the dialog shows the row as it is now.
    bool stale = false;

    static Outcome accepted(std::optional<qint64> key = std::nullopt)
    {
        Outcome o;
        o.done = true;
        o.newKey = key;
        return o;
    }
    static Outcome refused(const QString& text, MessageKind kind = MessageKind::Warning)
    {
        Outcome o;
        o.messages.push_back({kind, text});
        return o;
    }
    // A failure of the data store: nothing was written.
    static Outcome failed(const QString& engineText) { return refused(engineText, MessageKind::Error); }
    // The row changed or went since the dialog read it: nothing was written.
    static Outcome staleRow(const QString& text)
    {
        Outcome o = refused(text, MessageKind::Warning);
        o.stale = true;
        return o;
    }

    Outcome& add(MessageKind kind, const QString& text)
    {
        messages.push_back({kind, text});
        return *this;
    }
    // The texts alone, in order.
    QStringList texts() const
    {
        QStringList out;
        for (const Message& m : messages)
            out << m.text;
        return out;
    }
};

} // namespace velcaris::app
