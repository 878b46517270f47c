#pragma once
// The list of backups that "Ripristina" offers: database, file, date and what each holds.
#include "foundation/BackupCatalogue.h"

#include <QDialog>
#include <QVector>

class QTableWidget;

namespace velcaris::app {

class TFRipristino : public QDialog {
    Q_OBJECT
public:
    TFRipristino(const QVector<BackupEntry>& backups, QWidget* parent);
    // The backup chosen when the dialog was accepted (the first row when none was clicked).
    BackupEntry chosen() const;

private:
    QVector<BackupEntry> backups_;
    QTableWidget* grid_ = nullptr;
};

} // namespace velcaris::app
