#pragma once
// "Trasferisci su server": an office kept in files (the main and the web database) copied into an
// empty database of a PostgreSQL server, which the office then opens instead of its files. The
// files are only read; the server gets everything in one transaction or nothing.
#include "store/Database.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::store {

// One table of a file and its copy on the server.
struct TransferredTable {
    QString schema;              // "main" or "web"
    QString name;                // as the file spells it
    qint64 fileRows = 0;
    qint64 serverRows = -1;      // counted on the server after the copy; -1 when not counted
    QStringList fileOnlyColumns; // columns of an older or foreign file the server's table lacks: not copied
    int blanksAsNull = 0;        // blank text in numeric columns, which the server keeps as empty (NULL)
};

struct ServerTransferResult {
    bool done = false;
    QString message;                 // Italian: what was copied, or why nothing was
    QVector<TransferredTable> tables; // every table the copy reached, in the files' order
    QStringList notCopied;           // tables of the files that are not the program's ("web.Appunti")

    qint64 rowsCopied() const;
};

// Copies the office's main and web files (opened read-only with their keys) into the server's
// schemas main and web, made first when missing. Refused, changing nothing, when the server
// already holds data (anything beyond what a freshly made database has), when a file cannot be
// read, or when a value cannot be a server's number. Every table keeps its rows and their integer
// keys (the server's key counters then go on from the highest); the columns both sides have are
// copied, the others named in the result. Before the commit each table's rows are counted (and
// its keys summed) on both sides: any difference rolls everything back. Never raises StoreError:
// the failure is the result's message.
ServerTransferResult transferToServer(const QString& mainFile, const QString& webFile, const ServerParams& server);

// The [server] section of the settings file that opens what was transferred: host, port,
// database, user and sslmode as given; the password never, only the advice to keep it in the
// user's pgpass file.
QString serverSettingsSection(const ServerParams& server);

} // namespace velcaris::store
