#pragma once
// The files of one office: its databases, documents, settings and mail log, all in one folder
// (foundation/OfficeLocation decides which folder).
#include <QString>

namespace velcaris::app {

class AppPaths {
public:
    // The office in `folder`; its settings file is named after executableName (see settingsFile()).
    explicit AppPaths(const QString& folder, const QString& executableName = QStringLiteral("velcaris"));

    QString appFolder() const { return folder_; }
    QString databaseFolder() const;
    QString outputFolder() const; // ends with '/'; Output/ unless set elsewhere
    // The documents go to `folder` instead of Output/ (a shared office's shared folder).
    void setOutputFolder(const QString& folder);
    QString mainDatabase() const;  // Database/Condomini.db
    QString mainBackup() const;    // Database/Condomini.bak
    QString webDatabase() const;   // Database/WebDB.db
    QString webBackup() const;     // Database/WebDB.bak
    QString faqDatabase() const;   // Database/FAQ.db
    QString faqBackup() const;     // Database/FAQ.bak
    QString settingsFile() const;  // <folder>/<executableName> with its extension replaced by .ini
    QString mailLog() const;       // mail.log
    // Database/prova-nome-cartella: where a condominium's new folder name is tried before a rename.
    QString folderNameTrial() const;

    // Creates Database/ and Output/ when missing; false when either could not be made.
    bool ensureFolders() const;

private:
    QString file(const QString& relative) const;

    QString folder_;
    QString executable_; // full path
    QString output_;     // set elsewhere, with its final '/'; empty: Output/
};

// The executable's path with its extension replaced by ".ini" ("velcaris" -> "velcaris.ini",
// "Velcaris.exe" -> "Velcaris.ini"). Only the file name's last suffix counts.
QString settingsFileFor(const QString& executablePath);

} // namespace velcaris::app
