#include "tools/AppIcon.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// The canvas of the drawing; pictures of other sizes are scaled from it.
constexpr double kCanvas = 256;

struct IconShape {
    enum Kind { kRoundedRect, kCircle, kArc };
    Kind kind;
    double x, y, width, height;  // the bounding box (of the whole circle for an arc)
    double radius;               // corner radius of a rounded rectangle
    QColor fill;                 // invalid: not filled
    QColor stroke;               // invalid: no outline
    double strokeWidth;
};

// A hand-held remote with its IR window sending waves, and a pad of keys.
std::vector<IconShape> Shapes() {
    const QColor none;
    std::vector<IconShape> shapes;
    // Waves of light leaving the remote's window, smallest first.
    for (const double radius : {22.0, 40.0, 58.0}) {
        shapes.push_back({IconShape::kArc, 128 - radius, 78 - radius, 2 * radius, 2 * radius, 0,
                          none, QColor(243, 156, 18), 10});
    }
    shapes.push_back(
        {IconShape::kRoundedRect, 70, 76, 116, 170, 26, QColor(58, 62, 72), QColor(28, 30, 36), 6});
    shapes.push_back({IconShape::kRoundedRect, 100, 88, 56, 16, 8, QColor(192, 57, 43), none, 0});
    shapes.push_back({IconShape::kCircle, 112, 116, 32, 32, 0, QColor(231, 76, 60), none, 0});
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            shapes.push_back({IconShape::kCircle, 91.0 + 28 * column, 160.0 + 26 * row, 18, 18, 0,
                              QColor(208, 212, 220), none, 0});
        }
    }
    return shapes;
}

QString Number(double value) {
    // Whole numbers stay whole; the rest keeps two places, the same on every machine.
    return value == std::floor(value) ? QString::number(static_cast<long long>(value))
                                      : QString::number(value, 'f', 2);
}

QString Paint(const IconShape& shape) {
    QString paint =
        QStringLiteral(" fill=\"%1\"")
            .arg(shape.fill.isValid() ? shape.fill.name(QColor::HexRgb) : QStringLiteral("none"));
    if (shape.stroke.isValid()) {
        paint += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                     .arg(shape.stroke.name(QColor::HexRgb), Number(shape.strokeWidth));
    }
    return paint;
}

// The upper quarter of an arc's circle: from 135 to 45 degrees, counted counter-clockwise
// from the right.
constexpr double kArcFromDegrees = 135;
constexpr double kArcSpanDegrees = -90;

}  // namespace

QByteArray AppIconSvg() {
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 256 256\">\n");
    for (const IconShape& shape : Shapes()) {
        switch (shape.kind) {
            case IconShape::kRoundedRect:
                svg += QStringLiteral(
                           "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"%6/>\n")
                           .arg(Number(shape.x), Number(shape.y), Number(shape.width),
                                Number(shape.height), Number(shape.radius), Paint(shape));
                break;
            case IconShape::kCircle:
                svg +=
                    QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\"%4/>\n")
                        .arg(Number(shape.x + shape.width / 2), Number(shape.y + shape.height / 2),
                             Number(shape.width / 2), Paint(shape));
                break;
            case IconShape::kArc: {
                const double r = shape.width / 2;
                const double cx = shape.x + r;
                const double cy = shape.y + r;
                const double from = kArcFromDegrees * std::numbers::pi / 180;
                const double to = (kArcFromDegrees + kArcSpanDegrees) * std::numbers::pi / 180;
                // SVG's y axis points down, so an angle's point is (cos, -sin).
                svg += QStringLiteral(
                           "  <path d=\"M %1 %2 A %3 %3 0 0 1 %4 %5\"%6 "
                           "stroke-linecap=\"round\"/>\n")
                           .arg(Number(cx + r * std::cos(from)), Number(cy - r * std::sin(from)),
                                Number(r), Number(cx + r * std::cos(to)),
                                Number(cy - r * std::sin(to)), Paint(shape));
                break;
            }
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QImage AppIconPicture(int size) {
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / kCanvas, size / kCanvas);
        for (const IconShape& shape : Shapes()) {
            QPen pen(Qt::NoPen);
            if (shape.stroke.isValid()) {
                pen = QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap);
            }
            p.setPen(pen);
            p.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : QBrush(Qt::NoBrush));
            const QRectF box(shape.x, shape.y, shape.width, shape.height);
            switch (shape.kind) {
                case IconShape::kRoundedRect:
                    p.drawRoundedRect(box, shape.radius, shape.radius);
                    break;
                case IconShape::kCircle:
                    p.drawEllipse(box);
                    break;
                case IconShape::kArc:
                    p.drawArc(box, static_cast<int>(kArcFromDegrees * 16),
                              static_cast<int>(kArcSpanDegrees * 16));
                    break;
            }
        }
    }
    // Straight (not premultiplied) alpha, as PNG files hold it, so a written and read picture
    // compares equal to a drawn one.
    return picture.convertToFormat(QImage::Format_ARGB32);
}
