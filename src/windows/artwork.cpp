#include "artwork.h"

#include "lettering.h"

#include <QFontMetricsF>
#include <QPainter>

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

QPixmap RidIvidPicture(const QString& drop, const QString& here, const QString& hint,
                       int hintRight) {
    InitArtwork();
    QPixmap picture(Resource("ridivid.png"));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // Right of the diamond, as large as the words allow.
    constexpr qreal Left = 160, Room = 383 - 160 - 14;
    const QFont big = Forms::Lettering::Fitted(
        Forms::Lettering::Fitted(Forms::Lettering::Face(34), drop, Room), here, Room);
    Forms::Lettering::Draw(p, Forms::Lettering::TextPath(drop, big, QPointF(Left, 66)),
                           Forms::Lettering::Cream, Forms::Lettering::Ink, 2.0);
    Forms::Lettering::Draw(p, Forms::Lettering::TextPath(here, big, QPointF(Left, 104)),
                           Forms::Lettering::LeafLight, Forms::Lettering::Ink, 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 215));
    p.drawPath(Forms::Lettering::TextPath(
        hint,
        Forms::Lettering::Fitted(Forms::Lettering::Face(12, QFont::DemiBold), hint,
                                 hintRight - (Left + 2)),
        QPointF(Left + 2, 130)));
    return picture;
}

QPixmap SplashPicture(const QString& tagline) {
    InitArtwork();
    QPixmap picture(Resource("splash.png"));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // The name, sized to fit between the diamond and the right edge.
    constexpr qreal Left = 118, Right = 372;
    const QString name = QStringLiteral("Brushwick ");
    const QFont title = Forms::Lettering::Fitted(Forms::Lettering::Face(38),
                                                 name + QStringLiteral("2"), Right - Left);
    const qreal nameWidth = QFontMetricsF(title).horizontalAdvance(name);
    const QColor rim(0x0b, 0x1d, 0x30);
    Forms::Lettering::Draw(p, Forms::Lettering::TextPath(name.trimmed(), title, QPointF(Left, 62)),
                           Forms::Lettering::Cream, rim, 2.5);
    Forms::Lettering::Draw(
        p, Forms::Lettering::TextPath(QStringLiteral("2"), title, QPointF(Left + nameWidth, 62)),
        Forms::Lettering::LeafLight, rim, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawPath(Forms::Lettering::TextPath(
        tagline,
        Forms::Lettering::Fitted(Forms::Lettering::Face(11, QFont::DemiBold), tagline,
                                 Right - Left - 6),
        QPointF(Left + 6, 102)));
    return picture;
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
