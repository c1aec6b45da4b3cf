#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// From the command line to the main window: which folder, which catalogue file, and what to do when the
// folder has none or the file cannot serve as the catalogue.
namespace app {

struct CommandLine {
    enum class Action { Run, Usage, Error };
    Action action = Action::Run;
    QString folder; // the catalogue folder; empty for the working folder
    bool userCatalogue = false;
    QString error;
};
// `arguments` as the program got them, its own name first.
CommandLine ParseCommandLine(const QStringList& arguments);
extern const char* const kUsage;

// The user's own catalogue folder: $XDG_DATA_HOME/vidarro, by default ~/.local/share/vidarro.
QString UserCatalogueFolder();

// True for a Microsoft Access (Jet or ACE) file, told by its first bytes.
bool IsJetFile(const QString& path);

// Why the file cannot be opened as a catalogue at all, as a message for the user; empty when it opens.
QString CannotOpenMessage(const QString& path);

// The start-up steps before the main window, in `folder`: the catalogue file to open, or an empty text when
// the program is to end (the user has been told why, or chose to leave).
QString StartupCatalogue(QWidget* parent, const QString& folder);

// The whole program: command line, start-up steps, the main window. Returns the exit status.
int Run(const QStringList& arguments);

} // namespace app
