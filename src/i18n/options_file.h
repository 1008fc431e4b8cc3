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

// Where a data file of the program lives: beside the program when that folder already
// holds it or can be written, otherwise in the user's data folder.
QString DataFilePath(const QString &programDir, const QString &fileName);

} // namespace velmora
