#pragma once

// Pictures of the film windows for the documentation, taken while their tests run.

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

// With VIDARRO_SCREENSHOTS set to a folder, saves a picture of the window there.
inline void SaveScreenshot(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("VIDARRO_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QCoreApplication::processEvents(); // pending layouts, as on screen
    window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
