#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPointF>
#include <QString>

class QPainter;

// The lettering of the program's pictures. The pictures carry no words of
// their own: the window paints the language's words on them with these,
// and the picture generator (assets/render_artwork.cpp) shares the look.
namespace Forms::Lettering {

inline const QColor Cream(0xfb, 0xf7, 0xee);
inline const QColor LeafLight(0xa6, 0xf0, 0x6e);
inline const QColor Ink(0x10, 0x2a, 0x44);

// A plain bold sans face, so the words stay legible at small sizes; any
// sans face the system has stands in for DejaVu Sans.
QFont Face(qreal pixelSize, int weight = QFont::Bold);

// The face made smaller, if need be, so that text fits into room pixels.
QFont Fitted(QFont face, const QString& text, qreal room);

QPainterPath TextPath(const QString& text, const QFont& font, QPointF baseline);

// Lettering with a soft drop shadow and a thin dark rim.
void Draw(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& rim,
          qreal shadowOffset);

} // namespace Forms::Lettering
