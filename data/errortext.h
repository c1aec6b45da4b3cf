#pragma once

#include <QString>

class QSqlError;

// Every engine and file error the user sees is worded here: what happened, what to do, and the engine's
// own text only as a last line "Подробности: …".
namespace data {

// SQLite's primary result code in the user's words: the cause and what to do about it.
QString SqliteCause(int primaryCode);

// The whole message for a failed step on a file: "<what> «<path>».", the cause, the details. Where the
// code leaves the cause open (cannot open), the file and its folder are checked to name the real one.
QString DbErrorMessage(const QString& what, const QString& path, const QSqlError& error);

// Whether a new file can be made in `folder`, tried rather than guessed from permission bits: root
// ignores them, a read-only mount or an immutable folder does not.
bool FolderAcceptsNewFiles(const QString& folder);

// Why a file cannot be replaced by a new copy of it (the settings file), in the user's words; empty when
// no cause is found.
QString ReplaceProblem(const QString& filePath);

// The last line of a message: the system's or engine's own text.
QString Details(const QString& text);

} // namespace data
