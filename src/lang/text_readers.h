#pragma once

#include "containers/hash.h"
#include "containers/marray.h"

#include <QString>

// Readers of the program's own text files: language packs, read-me files and
// the change log.
namespace FileOps {

// Every line of the file. With filter on, lines are trimmed of blanks and
// blank lines and comments ("#" or "'" first) are dropped. Lines end at CR LF
// or a lone CR; a lone LF stays in the line. Throws RunTimeError when the
// file cannot be read.
MArray ReadLines(const QString& path, bool filter);

// The first line, unchanged; "0" for a missing or empty file.
QString ReadFirstLine(const QString& path);
// "line 1 = line 2", unchanged; "0" for a missing or empty file.
QString ReadHeaderPair(const QString& path);
// The installed packs: display name -> author, last listed file first.
Hash ListLanguages();

// The folder of the language packs and read-me files, ending in a separator.
QString LangFolder();

// A text file's bytes as text: UTF-8 when valid, else Windows-1252.
QString DecodeText(const QByteArray& bytes);

} // namespace FileOps
