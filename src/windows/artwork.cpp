#include "artwork.h"

namespace {

QString Resource(const char* name) {
    return QStringLiteral(":/brushwick/") + QLatin1String(name);
}

} // namespace

void InitArtwork() {
    // The pictures live in a static library, so they must be registered by
    // hand; registering twice would be harmless, the flag just saves the call.
    static bool registered = false;
    if (registered)
        return;
    Q_INIT_RESOURCE(assets);
    registered = true;
}

QPixmap RidIvidPicture() {
    InitArtwork();
    return QPixmap(Resource("ridivid.png"));
}

QPixmap SplashPicture() {
    InitArtwork();
    return QPixmap(Resource("splash.png"));
}

QIcon AppIcon() {
    InitArtwork();
    QIcon icon;
    icon.addFile(Resource("icon.png"), QSize(32, 32));
    icon.addFile(Resource("icon256.png"), QSize(256, 256));
    return icon;
}

QIcon HelpIcon() {
    InitArtwork();
    return QIcon(Resource("help.png"));
}

QIcon OkIcon() {
    InitArtwork();
    return QIcon(Resource("ok.png"));
}
