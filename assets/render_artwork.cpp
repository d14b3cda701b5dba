// Draws every picture and icon of Brushwick 2 and writes them as PNG files
// into the folder given on the command line (scripts/render-artwork passes
// assets/). Everything is vector drawing with QPainter, so the pictures can
// be made again, changed and scaled from this one file.

#include "windows/lettering.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

namespace {

// The program's palette: a calm blue backdrop and the green of the diamond.
const QColor DeepBlue(0x17, 0x3a, 0x5e);
const QColor SkyBlue(0x3f, 0x8f, 0xc8);
using Forms::Lettering::LeafLight;
const QColor Leaf(0x5c, 0xc9, 0x35);
const QColor LeafShade(0x3a, 0x9a, 0x24);
const QColor LeafDark(0x21, 0x6b, 0x17);
const QColor LeafEdge(0x14, 0x4a, 0x10);

// The green diamond: an upright octahedron seen a little from the left, so
// four faces show, each in its own shade.
void DrawDiamond(QPainter& p, const QRectF& box, bool withGlow) {
    const qreal cx = box.center().x();
    const qreal w = box.width();
    const qreal h = box.height();
    const QPointF top(cx, box.top());
    const QPointF bottom(cx, box.bottom());
    const qreal waist = box.top() + h * 0.46;
    const QPointF left(box.left(), waist);
    const QPointF right(box.right(), waist);
    const QPointF front(cx - w * 0.12, waist + h * 0.05);

    p.save();
    if (withGlow) {
        QRadialGradient glow(box.center(), qMax(w, h) * 0.85);
        glow.setColorAt(0.0, QColor(190, 255, 150, 120));
        glow.setColorAt(0.55, QColor(150, 240, 110, 40));
        glow.setColorAt(1.0, QColor(150, 240, 110, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(box.center(), qMax(w, h) * 0.85, qMax(w, h) * 0.85);
    }

    auto face = [&](std::initializer_list<QPointF> points, const QColor& a, const QColor& b) {
        QPolygonF poly;
        for (const QPointF& pt : points)
            poly << pt;
        QLinearGradient shade(poly.boundingRect().topLeft(), poly.boundingRect().bottomRight());
        shade.setColorAt(0.0, a);
        shade.setColorAt(1.0, b);
        p.setBrush(shade);
        p.drawPolygon(poly);
    };

    const qreal edge = qMax<qreal>(0.8, w / 40.0);
    p.setPen(QPen(LeafEdge, edge, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    face({top, left, front}, LeafLight, Leaf);
    face({top, front, right}, Leaf, LeafShade);
    face({left, bottom, front}, LeafShade, LeafDark);
    face({front, bottom, right}, LeafDark, LeafEdge);

    // A glint on the lit face.
    QPainterPath glint;
    glint.moveTo(cx - w * 0.08, box.top() + h * 0.12);
    glint.lineTo(box.left() + w * 0.16, waist - h * 0.04);
    glint.lineTo(box.left() + w * 0.26, waist - h * 0.03);
    glint.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawPath(glint);
    p.restore();
}

// An open tray seen from the front and a little from above: the rim, the
// dark opening and the front panel with its handle notch.
void DrawTray(QPainter& p, const QRectF& box) {
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal lip = h * 0.34;
    p.save();
    const qreal edge = qMax<qreal>(1.0, w / 70.0);

    // Back wall and opening.
    QPainterPath opening;
    opening.moveTo(box.left() + w * 0.08, box.top());
    opening.lineTo(box.right() - w * 0.08, box.top());
    opening.lineTo(box.right(), box.top() + lip);
    opening.lineTo(box.left(), box.top() + lip);
    opening.closeSubpath();
    QLinearGradient inside(box.topLeft(), QPointF(box.left(), box.top() + lip));
    inside.setColorAt(0.0, QColor(0x2a, 0x3f, 0x55));
    inside.setColorAt(1.0, QColor(0x4c, 0x68, 0x84));
    p.setPen(QPen(QColor(0x1b, 0x2b, 0x3c), edge, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(inside);
    p.drawPath(opening);

    // Front panel with a notch in its upper edge.
    const qreal notchW = w * 0.28;
    const qreal notchD = h * 0.16;
    QPainterPath front;
    const qreal ft = box.top() + lip;
    front.moveTo(box.left(), ft);
    front.lineTo(box.center().x() - notchW / 2, ft);
    front.cubicTo(box.center().x() - notchW / 2 + notchW * 0.15, ft + notchD,
                  box.center().x() - notchW * 0.2, ft + notchD, box.center().x(), ft + notchD);
    front.cubicTo(box.center().x() + notchW * 0.2, ft + notchD,
                  box.center().x() + notchW / 2 - notchW * 0.15, ft + notchD,
                  box.center().x() + notchW / 2, ft);
    front.lineTo(box.right(), ft);
    front.lineTo(box.right() - w * 0.04, box.bottom() - h * 0.08);
    front.quadTo(box.right() - w * 0.05, box.bottom(), box.right() - w * 0.1, box.bottom());
    front.lineTo(box.left() + w * 0.1, box.bottom());
    front.quadTo(box.left() + w * 0.05, box.bottom(), box.left() + w * 0.04,
                 box.bottom() - h * 0.08);
    front.closeSubpath();
    QLinearGradient panel(QPointF(box.left(), ft), box.bottomLeft());
    panel.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    panel.setColorAt(1.0, QColor(0xc9, 0xd8, 0xe6));
    p.setBrush(panel);
    p.drawPath(front);
    p.restore();
}

// A bold downward arrow, the sign for "put it here".
QPainterPath DownArrow(const QRectF& box) {
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal shaft = w * 0.42;
    const qreal headTop = box.top() + h * 0.45;
    QPainterPath arrow;
    arrow.moveTo(box.center().x() - shaft / 2, box.top());
    arrow.lineTo(box.center().x() + shaft / 2, box.top());
    arrow.lineTo(box.center().x() + shaft / 2, headTop);
    arrow.lineTo(box.right(), headTop);
    arrow.lineTo(box.center().x(), box.bottom());
    arrow.lineTo(box.left(), headTop);
    arrow.lineTo(box.center().x() - shaft / 2, headTop);
    arrow.closeSubpath();
    return arrow;
}

void FillBackdrop(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom) {
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0.0, top);
    sky.setColorAt(1.0, bottom);
    p.fillRect(area, sky);
    // Soft light from the upper left.
    QRadialGradient light(QPointF(area.width() * 0.2, -area.height() * 0.2), area.width() * 0.8);
    light.setColorAt(0.0, QColor(255, 255, 255, 60));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(area, light);
}

// The picture the player drops files onto.
QImage RidIvid() {
    QImage image(383, 169, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, 383, 169);
    FillBackdrop(p, all, DeepBlue, SkyBlue);

    // The drop zone: a dashed frame all round.
    QPen dash(QColor(255, 255, 255, 170), 2.0, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
    dash.setDashPattern({4.0, 3.0});
    p.setPen(dash);
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawRoundedRect(all.adjusted(7, 7, -7, -7), 14, 14);

    // Diamond dropping into the tray, with an arrow showing the way.
    DrawDiamond(p, QRectF(70, 16, 44, 68), true);
    const QPainterPath arrow = DownArrow(QRectF(80, 86, 24, 24));
    p.setPen(QPen(QColor(0x8a, 0x4b, 0x00), 1.2));
    p.setBrush(QColor(0xff, 0xc1, 0x3b));
    p.drawPath(arrow);
    DrawTray(p, QRectF(42, 104, 100, 46));

    // The invitation is the window's to write, in the player's language.
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

// The start-up picture. The lower right stays calm: the version and the
// legal notice are written there by the window, as are the name and the
// line below it.
QImage Splash() {
    QImage image(383, 169, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, 383, 169);
    FillBackdrop(p, all, QColor(0x12, 0x2c, 0x47), QColor(0x1f, 0x5a, 0x7e));

    // A broad brush stroke behind the name.
    QPainterPath stroke;
    stroke.moveTo(108, 78);
    stroke.cubicTo(170, 60, 280, 58, 372, 70);
    stroke.lineTo(370, 84);
    stroke.cubicTo(280, 74, 180, 78, 112, 94);
    stroke.closeSubpath();
    QLinearGradient paint(QPointF(108, 0), QPointF(372, 0));
    paint.setColorAt(0.0, QColor(0x5c, 0xc9, 0x35, 230));
    paint.setColorAt(1.0, QColor(0x5c, 0xc9, 0x35, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(paint);
    p.drawPath(stroke);

    DrawDiamond(p, QRectF(30, 22, 64, 104), true);
    // Its shadow on the ground.
    QRadialGradient shadow(QPointF(62, 146), 30);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setBrush(shadow);
    p.drawEllipse(QPointF(62, 146), 30, 7);

    // The name and the line below it are the window's to write.

    // A quiet panel under the version and legal notice.
    QLinearGradient calm(QPointF(170, 0), QPointF(379, 0));
    calm.setColorAt(0.0, QColor(0, 0, 0, 0));
    calm.setColorAt(0.25, QColor(0, 0, 0, 45));
    calm.setColorAt(1.0, QColor(0, 0, 0, 45));
    p.setBrush(calm);
    p.drawRoundedRect(QRectF(150, 110, 229, 54), 10, 10);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

// The program's icon: the diamond dropping into a tray on a blue tile.
QImage Icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF tile(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    QLinearGradient sky(tile.topLeft(), tile.bottomLeft());
    sky.setColorAt(0.0, QColor(0x2c, 0x6c, 0xa6));
    sky.setColorAt(1.0, QColor(0x4f, 0xa6, 0xdf));
    p.setPen(QPen(QColor(0x10, 0x2a, 0x44), qMax<qreal>(1.0, s / 64.0)));
    p.setBrush(sky);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);

    DrawDiamond(p, QRectF(s * 0.32, s * 0.07, s * 0.36, s * 0.56), size >= 64);
    DrawTray(p, QRectF(s * 0.14, s * 0.58, s * 0.72, s * 0.32));
    p.end();
    return image;
}

QImage Round(int size, const QColor& light, const QColor& dark) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1.5, 1.5, size - 3.0, size - 3.0);
    QRadialGradient body(QPointF(size * 0.35, size * 0.3), size * 0.8);
    body.setColorAt(0.0, light);
    body.setColorAt(1.0, dark);
    p.setPen(QPen(dark.darker(160), 1.2));
    p.setBrush(body);
    p.drawEllipse(disc);
    p.end();
    return image;
}

// The help button: a question mark on a blue disc.
QImage HelpMark(int size) {
    QImage image = Round(size, QColor(0x7c, 0xc4, 0xf5), QColor(0x1d, 0x5c, 0x9a));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath hook;
    hook.moveTo(s * 0.36, s * 0.38);
    hook.cubicTo(s * 0.36, s * 0.2, s * 0.66, s * 0.18, s * 0.66, s * 0.37);
    hook.cubicTo(s * 0.66, s * 0.5, s * 0.5, s * 0.5, s * 0.5, s * 0.62);
    p.setPen(QPen(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(s * 0.5, s * 0.78), s * 0.075, s * 0.075);
    p.end();
    return image;
}

// The OK buttons: a check mark on a green disc.
QImage OkMark(int size) {
    QImage image = Round(size, LeafLight, LeafDark);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath tick;
    tick.moveTo(s * 0.28, s * 0.52);
    tick.lineTo(s * 0.44, s * 0.68);
    tick.lineTo(s * 0.73, s * 0.34);
    p.setPen(QPen(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.end();
    return image;
}

bool Save(const QImage& image, const QString& folder, const char* name) {
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "render_artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bw_render_artwork <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    bool ok = true;
    ok &= Save(RidIvid(), folder, "ridivid.png");
    ok &= Save(Splash(), folder, "splash.png");
    ok &= Save(Icon(32), folder, "icon.png");
    ok &= Save(Icon(256), folder, "icon256.png");
    ok &= Save(HelpMark(32), folder, "help.png");
    ok &= Save(OkMark(32), folder, "ok.png");
    return ok ? 0 : 1;
}
