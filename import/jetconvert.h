#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Turns a catalogue kept by the Windows version (a Jet "BaseFilm.mdb") into the program's own catalogue.
// No widgets: the start-up prompts and vidarro-newbase share it. Failures throw data::DbError whose text
// is a Russian reason that fits into "Не удалось перевести каталог: %1." (lower-case start, no final
// period), with the engine's or the system's own words, if any, on a second line.
namespace import {

// What the file's tables make of it, names matched ignoring case as Jet does.
enum class JetCatalogueKind {
    Current, // KINVORA11
    Previous, // KINVORA, no KINVORA11
    None,
};

struct JetFile {
    QString path;
    JetCatalogueKind kind = JetCatalogueKind::None;
    QStringList tables; // as stored
};

// Reads the table list of a Jet file through the helper process. Throws when it is no readable Jet file.
JetFile InspectJetFile(const QString& path);

struct ConversionResult {
    int films = 0;
    int debtors = 0;
    int blackList = 0;
    QStringList notes; // one per table the file lacked
    QString keptPath; // where the original is kept; empty when it stayed where it was
};

// The name the original will be kept under in `folder`: "BaseFilm-access.mdb", else the first free of
// "BaseFilm-access-2.mdb", "-3", ...
QString KeptCopyName(const QString& folder);

// Converts the folder's own Jet catalogue: the new one is written to a temporary file beside it and
// checked, the original is linked (or copied) to the kept name, then the new file is renamed over the
// original in one step. On failure the folder is left as it was.
ConversionResult ConvertInPlace(const JetFile& source);

// Writes `folder`/BaseFilm.mdb from the Jet file, which is only read. Refuses when the folder holds a
// catalogue already.
ConversionResult ConvertInto(const JetFile& source, const QString& folder);

// Copies `file` into `folder` under the next free kept name, flushed to disk, and returns its path. Never
// overwrites.
QString KeepCopy(const QString& file, const QString& folder);

// The report of a finished conversion, one line each, as the program shows and prints it.
QString ConversionReport(const ConversionResult& result);
// "Не удалось перевести каталог: <reason>. Исходный файл не изменён.", then "Подробности: <details>".
QString ConversionFailure(const QString& reason);

// Removes what an interrupted conversion left in `folder`: temporary files, and a kept copy identical to
// a Jet "BaseFilm.mdb" still in place.
void RemoveLeftovers(const QString& folder);

// Test seam: asked before each step of writing; false makes that step fail as a full disk would.
enum class ConvertStep { Records, Flush, Keep, Replace };
void SetConvertFaultHook(std::function<bool(ConvertStep)> hook);

} // namespace import
