#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The user guide: "Vidarro.chm" when the desktop has a viewer for it, else its HTML copy in the browser.
namespace app {

// Where the guide is looked for, in order: the working directory, the copy installed with the program
// (../share/vidarro beside the program's folder), the copy in the build tree.
QStringList HelpFileCandidates(const QString& workingDir, const QString& programDir);
// The same for the HTML copy's first page: installed, then the sources.
QStringList HelpPageCandidates(const QString& programDir);
// The first candidate that is a non-empty file; empty when there is none.
QString FindHelpFile(const QStringList& candidates);

// Starts opening the guide and returns at once; the viewer runs on its own. Each way is tried after the
// previous one failed; when none works, a message box names the help file.
void OpenHelpFile(QWidget* parent);
// The same with the places to look in given.
void OpenHelpFile(QWidget* parent, const QStringList& chmCandidates, const QStringList& pageCandidates);

// Runs a desktop command (xdg-mime, xdg-open) and reports its exit code (-1: it did not run) and output,
// later, from the event loop. Tests replace it.
using HelpCommandDone = std::function<void(int exitCode, const QByteArray& output)>;
using HelpCommandRunner = std::function<void(const QStringList& command, HelpCommandDone done)>;
void SetHelpCommandRunner(HelpCommandRunner runner);

} // namespace app
