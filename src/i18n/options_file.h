// options.dat: the chosen interface language as one little-endian 32-bit number.
#pragma once

#include "document/safe_file.h"

#include <QString>

namespace velmora {

inline constexpr int LanguageGerman = 0;
inline constexpr int LanguageEnglish = 1;
inline constexpr int LanguageItalian = 2;
inline constexpr int LastLanguageColumn = 18;

// The stored language, or -1 when the file is missing, shorter than four bytes or holds
// a number that names no column of the translation table.
int ReadOptionsFile(const QString &path);
// Writes exactly four bytes, atomically; on failure the old file stays and the outcome says why.
FileOutcome WriteOptionsFile(const QString &path, int language);

// Where a data file of the program lives. Beside the program when that folder already holds
// it, or when the folder can be written and is no installed bin/ folder (a build folder, a
// folder of its own). Otherwise in the user's data folder, where a missing file starts as a
// copy of the installed template (share/velmora/ beside bin/), so the user's copy can be
// changed while the installed one stays as shipped. When that copy cannot be made (a home
// folder that cannot be written), the installed template itself, to be read only.
QString DataFilePath(const QString &programDir, const QString &fileName);
// The same without making or copying anything: where the file is read from now, or empty.
QString ExistingDataFilePath(const QString &programDir, const QString &fileName);
// The installed template of a data file (programDir/../share/velmora/fileName), or empty.
QString InstalledTemplatePath(const QString &programDir, const QString &fileName);

// The user's data folder of a program that keeps its files there, when it cannot be made or
// written (the outcome says why); an empty Folder when the files can be kept.
struct UserFolderState {
    QString Folder;
    FileOutcome Problem;
};
UserFolderState UserFolderProblem(const QString &programDir);

} // namespace velmora
