#pragma once
// Saves what a widget shows when VELCARIS_SCREENSHOTS names a folder (for a look by eye); an
// ordinary run writes nothing.
#include <QDir>
#include <QString>
#include <QWidget>

namespace velcaris::test {

inline void keepScreenshot(QWidget& w, const char* name)
{
    const QString folder = qEnvironmentVariable("VELCARIS_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    w.grab().save(folder + u'/' + QString::fromLatin1(name) + QStringLiteral(".png"));
}

} // namespace velcaris::test
