#include "platform/Shell.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace velcaris::platform {

QString shellResultText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out of memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied access to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred.");
    case 27: return QStringLiteral("The filename association is incomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not be completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30: return QStringLiteral("The DDE transaction could not be completed because other DDE transactions were being processed.");
    case 31: return QStringLiteral("There is no application associated with the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Reason unknown.");
    }
}

bool SystemShell::open(const QString& path)
{
    error_.clear();
    if (!QFileInfo::exists(path)) {
        error_ = shellResultText(2);
        return false;
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !QProcess::startDetached(opener, {path})) {
        error_ = shellResultText(31);
        return false;
    }
    return true;
}

bool SystemShell::print(const QString& path)
{
    error_.clear();
    if (!QFileInfo::exists(path)) {
        error_ = QStringLiteral("File da stampare non trovato: %1").arg(path);
        return false;
    }
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty()) {
        error_ = QStringLiteral("Nessun programma di stampa trovato: installare LibreOffice");
        return false;
    }
    if (!QProcess::startDetached(office, {QStringLiteral("--headless"), QStringLiteral("-p"), path})) {
        error_ = QStringLiteral("Impossibile avviare %1 per stampare %2").arg(office, path);
        return false;
    }
    return true;
}

bool RecordingShell::open(const QString& path)
{
    calls_.append({QStringLiteral("open"), path});
    error_ = failMessage_;
    return failMessage_.isEmpty();
}

bool RecordingShell::print(const QString& path)
{
    calls_.append({QStringLiteral("print"), path});
    error_ = failMessage_;
    return failMessage_.isEmpty();
}

} // namespace velcaris::platform
