#include "lettering.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

namespace Forms::Lettering {

QFont Face(qreal pixelSize, int weight) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QFont Fitted(QFont face, const QString& text, qreal room) {
    const qreal needed = QFontMetricsF(face).horizontalAdvance(text);
    if (needed > room && needed > 0)
        face.setPixelSize(std::max(6, qFloor(face.pixelSize() * room / needed)));
    return face;
}

QPainterPath TextPath(const QString& text, const QFont& font, QPointF baseline) {
    QPainterPath path;
    path.addText(baseline, font, text);
    return path;
}

void Draw(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& rim,
          qreal shadowOffset) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(path.translated(shadowOffset, shadowOffset));
    p.setPen(QPen(rim, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

} // namespace Forms::Lettering
