// SPDX-License-Identifier: MIT
#include "gui/dialogs/key_pictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <map>
#include <tuple>

namespace veltrane::gui {
namespace {

using ui::KeyPicture;

const QColor kOutline(60, 60, 60);

QPen Stroke(const QColor& color, qreal width) {
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Text scaled to fill `box` (in unit coordinates) as far as its width allows.
void FittedText(QPainter& p, const QRectF& box, const QString& text, const QColor& color) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setBold(true);
  font.setPixelSize(100);
  const QFontMetricsF metrics(font);
  const qreal scale = std::min(box.width() / metrics.horizontalAdvance(text),
                               box.height() / metrics.capHeight() * 0.8);
  p.save();
  p.translate(box.center());
  p.scale(scale, scale);
  p.setFont(font);
  p.setPen(color);
  const qreal width = metrics.horizontalAdvance(text);
  p.drawText(QPointF(-width / 2, metrics.capHeight() / 2), text);
  p.restore();
}

void Circle(QPainter& p) {
  p.setPen(Stroke(QColor(110, 110, 110), 1));
  p.setBrush(QColor(170, 170, 170));
  p.drawEllipse(QPointF(8, 8), 5, 5);
}

// One letter Z of height h with its lower left corner at (x, y).
void LetterZ(QPainter& p, qreal x, qreal y, qreal h) {
  const qreal w = h * 0.75;
  const QPointF z[] = {{x, y - h}, {x + w, y - h}, {x, y}, {x + w, y}};
  p.drawPolyline(z, 4);
}

void Sleeping(QPainter& p) {
  p.setPen(Stroke(QColor(40, 60, 150), 1.3));
  LetterZ(p, 1, 14.5, 3.5);
  LetterZ(p, 5, 11.5, 5);
  LetterZ(p, 9.5, 8.5, 7);
}

void Cross(QPainter& p) {
  p.setPen(Stroke(QColor(210, 20, 20), 2.6));
  p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
  p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void Tick(QPainter& p) {
  p.setPen(Stroke(QColor(20, 150, 40), 2.6));
  const QPointF tick[] = {{2.8, 8.6}, {6.3, 12.2}, {13.2, 3.8}};
  p.drawPolyline(tick, 3);
}

void Bulb(QPainter& p, const QColor& glass) {
  p.setPen(Stroke(kOutline, 0.9));
  p.setBrush(glass);
  QPainterPath path;
  path.moveTo(6, 11);
  path.cubicTo(6, 9, 3, 8.5, 3, 5.5);
  path.arcTo(QRectF(3, 0.8, 10, 10), 180, -180);
  path.cubicTo(13, 8.5, 10, 9, 10, 11);
  path.closeSubpath();
  p.drawPath(path);
  p.setBrush(QColor(150, 150, 150));
  p.drawRoundedRect(QRectF(6, 11, 4, 3.5), 0.8, 0.8);
  p.drawLine(QPointF(6, 12.7), QPointF(10, 12.7));
}

// The bulb of a light-control key, with a sign at its top right.
void SignedBulb(QPainter& p, bool plus) {
  Bulb(p, QColor(250, 215, 40));
  p.setPen(Stroke(QColor(0, 0, 0), 1.8));
  p.drawLine(QPointF(10.5, 3.5), QPointF(15, 3.5));
  if (plus) p.drawLine(QPointF(12.75, 1.25), QPointF(12.75, 5.75));
}

void Mouse(QPainter& p) {
  p.setPen(Stroke(kOutline, 0.9));
  p.setBrush(QColor(175, 175, 175));
  p.drawRoundedRect(QRectF(4, 3.5, 8, 11.5), 4, 4);
  p.drawLine(QPointF(4, 8), QPointF(12, 8));
  p.drawLine(QPointF(8, 3.5), QPointF(8, 8));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(8, 0.5, 4, 6), 180 * 16, -90 * 16);
}

void Power(QPainter& p) {
  p.setPen(Stroke(QColor(20, 150, 40), 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(2.5, 3, 11, 11), 125 * 16, 290 * 16);
  p.drawLine(QPointF(8, 1.5), QPointF(8, 8));
}

void Note(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 20));
  p.save();
  p.translate(5.5, 12.5);
  p.rotate(-25);
  p.drawEllipse(QPointF(0, 0), 2.6, 1.8);
  p.restore();
  p.setPen(Stroke(QColor(20, 20, 20), 1.2));
  p.drawLine(QPointF(7.7, 12), QPointF(7.7, 2));
  QPainterPath flag;
  flag.moveTo(7.7, 2);
  flag.cubicTo(9, 4.5, 13, 5, 11.5, 9.5);
  p.setBrush(Qt::NoBrush);
  p.drawPath(flag);
}

void Stop(QPainter& p) {
  QPolygonF octagon;
  for (int i = 0; i < 8; ++i) {
    const qreal a = (22.5 + 45.0 * i) * M_PI / 180.0;
    octagon << QPointF(8 + 7.6 * std::cos(a), 8 + 7.6 * std::sin(a));
  }
  p.setPen(Stroke(QColor(140, 0, 0), 0.6));
  p.setBrush(QColor(210, 20, 20));
  p.drawPolygon(octagon);
  FittedText(p, QRectF(1.6, 5, 12.8, 6), QStringLiteral("Stop"), Qt::white);
}

}  // namespace

void PaintKeyPicture(QPainter& p, KeyPicture picture) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  switch (picture) {
    case KeyPicture::Unused:
      Circle(p);
      break;
    case KeyPicture::Disabled:
      Sleeping(p);
      break;
    case KeyPicture::Incomplete:
      Cross(p);
      break;
    case KeyPicture::Complete:
      Tick(p);
      break;
    case KeyPicture::Illumination:
      Bulb(p, QColor(250, 215, 40));
      break;
    case KeyPicture::LedOff:
      Bulb(p, QColor(185, 185, 185));
      break;
    case KeyPicture::Mouse:
      Mouse(p);
      break;
    case KeyPicture::String:
      FittedText(p, QRectF(0.5, 3, 15, 10), QStringLiteral("Str"), QColor(20, 40, 160));
      break;
    case KeyPicture::System:
      Power(p);
      break;
    case KeyPicture::Consumer:
      Note(p);
      break;
    case KeyPicture::Editing:
      FittedText(p, QRectF(2, 1, 12, 14), QStringLiteral("?"), QColor(20, 60, 200));
      break;
    case KeyPicture::LightUp:
      SignedBulb(p, true);
      break;
    case KeyPicture::LightDown:
      SignedBulb(p, false);
      break;
    case KeyPicture::Stop:
      Stop(p);
      break;
  }
  p.restore();
}

QPixmap KeyPicturePixmap(KeyPicture picture, QSize size, qreal dpr) {
  using Key = std::tuple<int, int, int, qreal>;
  static std::map<Key, QPixmap> cache;
  const Key key{static_cast<int>(picture), size.width(), size.height(), dpr};
  if (const auto found = cache.find(key); found != cache.end()) return found->second;
  QPixmap pixmap(size * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.scale(size.width() / 16.0, size.height() / 16.0);
    PaintKeyPicture(painter, picture);
  }
  cache.emplace(key, pixmap);
  return pixmap;
}

}  // namespace veltrane::gui
