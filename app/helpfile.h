#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QUrl;

// The user guide "Vidarro.chm", opened with the desktop's viewer for its type.
namespace app {

// Where the guide is looked for, in order: the working directory, the copy installed with the program
// (../share/vidarro beside the program's folder), the copy in the build tree.
QStringList HelpFileCandidates(const QString& workingDir, const QString& programDir);
// The first candidate that is a non-empty file; empty when there is none.
QString FindHelpFile(const QStringList& candidates);

// Hands the guide to the desktop and returns at once: the viewer runs on its own. False, with nothing shown,
// when no guide is found or the desktop cannot open it.
bool OpenHelpFile();
// The same with the places to look in given.
bool OpenHelpFile(const QStringList& candidates);

// Tests replace the desktop call (QDesktopServices::openUrl).
using DesktopOpenHook = std::function<bool(const QUrl& url)>;
void SetDesktopOpenHook(DesktopOpenHook hook);

} // namespace app
