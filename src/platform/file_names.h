#pragma once

#include <QByteArray>
#include <QString>

// File names are bytes on Linux, and not every name is valid UTF-8 (a name
// written by an old Windows tool in Latin-1, say). Such a name must reach
// the copy with exactly the bytes it had in the listing, so the program's
// text type carries each byte that is not part of valid UTF-8 as a lone low
// surrogate U+DC80..U+DCFF ("surrogate escape"), which no valid text holds.
// On Windows names are UTF-16 already and pass through unchanged.
namespace platform {

// The bytes of a name as text: valid UTF-8 decoded, every other byte escaped.
QString FileNameText(const QByteArray& bytes);
// The text of a name as the bytes it stands for: escaped bytes go back as
// they came, everything else as UTF-8.
QByteArray FileNameBytes(const QString& text);

// The byte a character stands for when it is an escaped byte, else -1.
int EscapedByte(QChar c);

} // namespace platform
