#pragma once
// Real database files for the backup and start-up tests: made, read back and aged.
#include "store/Database.h"
#include "store/Schema.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace velcaris::test {

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

// Dates the file's last write at noon, local time, `days` days before today.
inline void age(const QString& path, int days)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime when(QDate::currentDate().addDays(-days), QTime(12, 0));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileAccessTime));
}

// A complete database of the kind holding one condominium name (main) or one web code (web).
inline void makeDatabase(const QString& path, store::DatabaseKind kind, const QString& mark)
{
    store::Database db;
    store::openDatabase(db, path, kind);
    if (kind == store::DatabaseKind::Main)
        db.exec("INSERT INTO Condomini (Nome) VALUES (?)", {mark});
    else
        db.exec("INSERT INTO CodiceCondominio (Condominio) VALUES (?)", {mark});
}

// The marks a database file holds, read without writing it; "<error: ...>" when it can't be read.
inline QStringList marksIn(const QString& path, store::DatabaseKind kind)
{
    try {
        store::Database db;
        db.open(path, store::databaseKey(kind), store::OpenMode::ReadOnly);
        store::Statement st(db, kind == store::DatabaseKind::Main ? "SELECT Nome FROM Condomini ORDER BY rowid"
                                                                  : "SELECT Condominio FROM CodiceCondominio ORDER BY rowid");
        QStringList marks;
        while (st.step())
            marks << st.value(0).toString();
        return marks;
    } catch (const store::StoreError& e) {
        return {"<error: " + e.message() + ">"};
    }
}

// The engine's full integrity check of a file, read-only: "ok" or its complaints.
inline QString integrityOf(const QString& path, store::DatabaseKind kind)
{
    try {
        store::Database db;
        db.open(path, store::databaseKey(kind), store::OpenMode::ReadOnly);
        store::Statement st(db, "PRAGMA integrity_check");
        QStringList lines;
        while (st.step())
            lines << st.value(0).toString();
        return lines.join("; ");
    } catch (const store::StoreError& e) {
        return "<error: " + e.message() + ">";
    }
}

} // namespace velcaris::test
