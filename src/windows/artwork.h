#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures and icons, compiled into the program. They are
// drawn by assets/render_artwork.cpp; scripts/render-artwork makes them anew.

// Makes the pictures available; safe to call any number of times. The
// accessors below call it themselves.
void InitArtwork();

// The picture that files are dropped onto (383 x 169), with the invitation
// in the player's language: two large lines and a small one below, which
// ends before hintRight (where the window puts its help button).
QPixmap RidIvidPicture(const QString& drop = {}, const QString& here = {}, const QString& hint = {},
                       int hintRight = 369);
// The start-up picture (383 x 169) with the program's name and the tagline
// in the player's language, and room at the lower right for the version and
// the legal notice.
QPixmap SplashPicture(const QString& tagline = {});
// The program's icon in 32 x 32 and 256 x 256.
QIcon AppIcon();
// The question mark of the help button.
QIcon HelpIcon();
// The check mark of the OK buttons.
QIcon OkIcon();
