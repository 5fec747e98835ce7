// Draws the window's pictures: the two toolbar images (50 x 32) and the logo (167 x 87), all
// with transparent backgrounds. Run by scripts/draw-artwork.sh; its output is committed.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kSheetHead(46, 94, 160);
const QColor kSheetLine(150, 165, 190);
const QColor kDatabase(0, 117, 143);
const QColor kArrow(34, 139, 34);
const QColor kFolder(232, 176, 48);

QImage Canvas(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// A table sheet: a white page with a coloured header row and grid lines.
void Sheet(QPainter& p, const QRectF& r, int rows, int columns) {
  p.setPen(QPen(QColor(70, 80, 100), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
  const qreal head = r.height() / (rows + 1);
  p.fillRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, head), kSheetHead);
  p.setPen(QPen(kSheetLine, 1));
  for (int i = 1; i <= rows; ++i) {
    const qreal y = r.top() + head * i;
    p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
  }
  for (int i = 1; i < columns; ++i) {
    const qreal x = r.left() + r.width() * i / columns;
    p.drawLine(QPointF(x, r.top() + head), QPointF(x, r.bottom() - 1));
  }
}

// A database: a cylinder with a shaded body and two rings.
void Cylinder(QPainter& p, const QRectF& r, const QColor& colour) {
  const qreal cap = r.height() * 0.22;
  QLinearGradient shade(r.topLeft(), r.topRight());
  shade.setColorAt(0, colour.darker(130));
  shade.setColorAt(0.45, colour.lighter(140));
  shade.setColorAt(1, colour.darker(150));
  QPainterPath body;
  body.moveTo(r.left(), r.top() + cap / 2);
  body.lineTo(r.left(), r.bottom() - cap / 2);
  body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
  body.lineTo(r.right(), r.top() + cap / 2);
  body.closeSubpath();
  p.setPen(QPen(colour.darker(200), 1));
  p.setBrush(shade);
  p.drawPath(body);
  p.setBrush(Qt::NoBrush);
  for (qreal ring : {0.38, 0.64}) {
    const qreal y = r.top() + r.height() * ring;
    p.drawArc(QRectF(r.left(), y - cap / 2, r.width(), cap), 180 * 16, 180 * 16);
  }
  p.setBrush(colour.lighter(170));
  p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
}

// A thick arrow from a to b, pointing right.
void Arrow(QPainter& p, QPointF a, QPointF b, qreal thickness, const QColor& colour) {
  const qreal head = thickness * 1.9;
  QPainterPath path;
  path.moveTo(a.x(), a.y() - thickness / 2);
  path.lineTo(b.x() - head, b.y() - thickness / 2);
  path.lineTo(b.x() - head, b.y() - head);
  path.lineTo(b.x(), b.y());
  path.lineTo(b.x() - head, b.y() + head);
  path.lineTo(b.x() - head, b.y() + thickness / 2);
  path.lineTo(a.x(), a.y() + thickness / 2);
  path.closeSubpath();
  p.setPen(QPen(colour.darker(150), 1));
  p.setBrush(colour);
  p.drawPath(path);
}

QImage ImportImage() {
  QImage image = Canvas(50, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Sheet(p, QRectF(1.5, 6.5, 17, 19), 4, 3);
  Arrow(p, QPointF(19, 16), QPointF(33, 16), 5, kArrow);
  Cylinder(p, QRectF(34.5, 3.5, 14, 25), kDatabase);
  return image;
}

QImage LoadImage() {
  QImage image = Canvas(50, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // The back of an open folder, the sheet in it, then its front flap.
  QPainterPath back;
  back.moveTo(8.5, 28.5);
  back.lineTo(8.5, 6.5);
  back.lineTo(17.5, 6.5);
  back.lineTo(20.5, 9.5);
  back.lineTo(38.5, 9.5);
  back.lineTo(38.5, 28.5);
  back.closeSubpath();
  p.setPen(QPen(kFolder.darker(170), 1));
  p.setBrush(kFolder.darker(115));
  p.drawPath(back);
  Sheet(p, QRectF(13.5, 3.5, 22, 20), 4, 3);
  QPainterPath front;
  front.moveTo(8.5, 28.5);
  front.lineTo(12.5, 14.5);
  front.lineTo(43.5, 14.5);
  front.lineTo(38.5, 28.5);
  front.closeSubpath();
  QLinearGradient light(QPointF(0, 14), QPointF(0, 29));
  light.setColorAt(0, kFolder.lighter(125));
  light.setColorAt(1, kFolder);
  p.setBrush(light);
  p.drawPath(front);
  return image;
}

QImage Logo() {
  QImage image = Canvas(167, 87);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  // Two sheets, one behind the other: Paradox and dBase tables.
  Sheet(p, QRectF(14.5, 4.5, 40, 34), 4, 3);
  Sheet(p, QRectF(6.5, 10.5, 40, 34), 4, 3);
  Arrow(p, QPointF(53, 26), QPointF(104, 26), 9, kArrow);
  Cylinder(p, QRectF(110.5, 2.5, 44, 46), kDatabase);

  QFont word(QStringLiteral("DejaVu Sans"));
  word.setPixelSize(27);
  word.setWeight(QFont::Black);
  word.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  p.setFont(word);
  const QRectF band(0, 50, 167, 35);
  p.setPen(QColor(0, 0, 0, 60));
  p.drawText(band.translated(1.5, 1.5), Qt::AlignCenter, QStringLiteral("TABULIX"));
  QLinearGradient ink(band.topLeft(), band.bottomLeft());
  ink.setColorAt(0, QColor(128, 0, 0));
  ink.setColorAt(1, QColor(70, 0, 20));
  p.setPen(QPen(QBrush(ink), 1));
  p.drawText(band, Qt::AlignCenter, QStringLiteral("TABULIX"));
  return image;
}

bool Save(const QImage& image, const QString& folder, const char* name) {
  const QString path = folder + QLatin1Char('/') + QLatin1String(name);
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const bool ok = Save(ImportImage(), folder, "import.png") &&
                  Save(LoadImage(), folder, "load.png") && Save(Logo(), folder, "logo.png");
  return ok ? 0 : 1;
}
