#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures and icons, compiled into the program. They are
// drawn by assets/render_artwork.cpp; scripts/render-artwork makes them anew.

// Makes the pictures available; safe to call any number of times. The
// accessors below call it themselves.
void InitArtwork();

// The picture that files are dropped onto (383 x 169).
QPixmap RidIvidPicture();
// The start-up picture (383 x 169), with room at the lower right for the
// version and the legal notice.
QPixmap SplashPicture();
// The program's icon in 32 x 32 and 256 x 256.
QIcon AppIcon();
// The question mark of the help button.
QIcon HelpIcon();
// The check mark of the OK buttons.
QIcon OkIcon();
