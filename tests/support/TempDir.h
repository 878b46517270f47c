#pragma once
// A fresh folder for one test, removed with it.
#include "support/QtPrinters.h"

#include <QString>
#include <QTemporaryDir>

namespace velcaris::test {

class TempDir {
public:
    TempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

} // namespace velcaris::test
