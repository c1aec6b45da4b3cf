#pragma once

#include <QList>
#include <QString>

#include <utility>

// The settings file: a Windows profile (INI) text file in Windows-1251, read and written the way
// GetPrivateProfileStringA and WritePrivateProfileStringA do, so files made by either side stay readable.
namespace settings {

// Value of `key` in `section` of the file. Names are matched ignoring letter case and surrounding blanks;
// the first matching section and, inside it, the first matching key win. Blanks around the value and one
// pair of matching surrounding quotes (" or ') are removed. When the file, section or key is missing or the
// file cannot be read, `defaultValue` (without trailing blanks) is returned. Of a file over 4 MB, the lines
// within the first 4 MB are read. The result holds at most
// bufferSize - 1 characters, as the Windows buffer would.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
    const QString& filePath, int bufferSize = 200);

// C atoi() of the value above read with an empty default, so a missing or non-numeric value is 0.
int GetPrivateProfileInt(const QString& section, const QString& key, const QString& filePath);

// Sets `key` in `section` to `value`, creating the file, the section or the key when missing. Only the
// value of that one key line changes (or one line, or a section, is added); every other byte of the file
// stays, line endings included. The new file replaces the old one in one rename, so a failure leaves the
// old file as it was. Throws data::DbError, with a Russian message naming the file, when the file cannot
// be read or written, when it would grow past the size the reader takes, or when a name or value cannot
// be stored (a line break, a character that Windows-1251 lacks, a key name the file could not read back).
void WritePrivateProfileString(
    const QString& section, const QString& key, const QString& value, const QString& filePath);

// The same for several keys of one section, set in order as by one call each, in one replacement of the
// file: all of them are written or none.
void WritePrivateProfileStrings(
    const QString& section, const QList<std::pair<QString, QString>>& entries, const QString& filePath);

} // namespace settings
