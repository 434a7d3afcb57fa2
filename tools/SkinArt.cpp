#include "tools/SkinArt.h"

#include <gif_lib.h>

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <unordered_map>

#include "resources/Strings.h"
#include "resources/dialogs/TextFit.h"
#include "store/FormTables.h"
#include "tools/AppIcon.h"

namespace {

// ---- Palette and looks ------------------------------------------------------------------

const QColor kBodyTop(58, 62, 72);
const QColor kBodyBottom(28, 30, 36);
const QColor kStripColour(40, 44, 54);
const QColor kDisplayColour(14, 22, 36);
const QColor kMagenta(255, 0, 255);
const char* const kFace = "Liberation Sans";

enum class Look { Active, Pressed, Disabled };

enum class Shape { RoundRect, Pill, Circle };

enum class Glyph {
    None,
    Power,
    Up,
    Down,
    Left,
    Right,
    Play,
    Pause,
    Stop,
    Record,
    FastRewind,
    FastForward,
    Rewind,
    Forward,
    Eject,
    Back,
    Slow,
    NextForm,
    Info
};

struct Style {
    QColor colour;
    Shape shape = Shape::RoundRect;
    Glyph glyph = Glyph::None;
    QString label;
};

bool IsDigitName(const QString& name) {
    return name.size() == 1 && name[0].isDigit();
}

QString ShortLabel(const QString& name) {
    static const std::map<QString, QString> kShort = {
        {"TiVo Service", "TiVo"}, {"LiveTV/Guide", "Live TV"},  {"Aux Bypass", "Aux"},
        {"VCR Bypass", "VCR"},    {"Instant Replay", "Replay"}, {"Preset+", "Pr+"},
        {"Preset-", "Pr-"},       {"Enter/Jump", "Enter"},      {"Settings", "Setup"},
        {"Favorite", "Fav"},      {"Subtitle", "Subtitle"},     {"StopLearn", "Stop Learning"},
    };
    const auto found = kShort.find(name);
    return found != kShort.end() ? found->second : name;
}

Style ButtonStyle(const QString& name, const FormRect& rect) {
    Style style;
    style.label = ShortLabel(name);
    style.colour = QColor(74, 78, 90);
    const bool tall = rect.height > rect.width * 3 / 2;
    static const std::map<QString, Glyph> kGlyphs = {
        {"Power", Glyph::Power},
        {"Up", Glyph::Up},
        {"Down", Glyph::Down},
        {"Left", Glyph::Left},
        {"Right", Glyph::Right},
        {"Play", Glyph::Play},
        {"Pause", Glyph::Pause},
        {"Stop", Glyph::Stop},
        {"Record", Glyph::Record},
        {"Fast Rewind", Glyph::FastRewind},
        {"Fast Forward", Glyph::FastForward},
        {"Rewind", Glyph::Rewind},
        {"Forward", Glyph::Forward},
        {"Eject", Glyph::Eject},
        {"Back", Glyph::Back},
        {"Slow", Glyph::Slow},
    };
    if (const auto glyph = kGlyphs.find(name); glyph != kGlyphs.end()) {
        style.glyph = glyph->second;
        style.label.clear();
    }
    if (name == "Power") {
        style.colour = QColor(196, 42, 42);
        style.shape = Shape::Circle;
    } else if (IsDigitName(name) || name == "+10") {
        style.colour = QColor(64, 68, 80);
        style.shape = Shape::RoundRect;
    } else if (name == "Up" || name == "Down" || name == "Left" || name == "Right") {
        style.colour = QColor(56, 84, 128);
    } else if (name == "OK" || name == "Enter" || name == "Enter/Jump" || name == "Select") {
        style.colour = QColor(36, 112, 196);
        style.shape = rect.width > rect.height * 3 / 2 ? Shape::Pill : Shape::Circle;
    } else if (name.startsWith("Vol") || name.startsWith("Ch") || name.startsWith("Page") ||
               name.startsWith("Day") || name.startsWith("Step") || name.startsWith("Chap") ||
               name.startsWith("Preset")) {
        style.colour = QColor(84, 92, 112);
        style.shape = Shape::Pill;
    } else if (name == "Record") {
        style.colour = QColor(70, 60, 66);
    } else if (style.glyph != Glyph::None) {
        style.colour = QColor(62, 66, 76);
    } else if (name == "Mute") {
        style.colour = QColor(150, 92, 36);
        style.shape = Shape::Circle;
    } else if (name.size() == 2 && name[0] == 'F') {
        style.colour = QColor(98, 78, 140);
        style.shape = Shape::Pill;
    } else if (name.startsWith("Thumbs")) {
        style.colour = name.endsWith("Up") ? QColor(46, 130, 70) : QColor(150, 52, 52);
    } else if (name == "Guide" || name == "Menu" || name == "Info" || name == "Title" ||
               name == "Display" || name == "OSD") {
        style.colour = QColor(52, 104, 110);
    }
    if (tall) {
        style.shape = Shape::Pill;
    }
    // A circle needs a roughly square rectangle.
    if (style.shape == Shape::Circle && std::abs(rect.width - rect.height) > rect.height / 3) {
        style.shape = Shape::Pill;
    }
    return style;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - t) + b.redF() * t),
                            static_cast<float>(a.greenF() * (1 - t) + b.greenF() * t),
                            static_cast<float>(a.blueF() * (1 - t) + b.blueF() * t));
}

QPainterPath ShapePath(const QRectF& r, Shape shape) {
    QPainterPath path;
    switch (shape) {
        case Shape::Circle:
            path.addEllipse(r);
            break;
        case Shape::Pill: {
            const double radius = std::min(r.width(), r.height()) / 2;
            path.addRoundedRect(r, radius, radius);
            break;
        }
        case Shape::RoundRect: {
            const double radius = std::min(r.width(), r.height()) * 0.28;
            path.addRoundedRect(r, radius, radius);
            break;
        }
    }
    return path;
}

QFont Font(double pixels, bool bold = true) {
    QFont font(kFace);
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The label in the largest size from `maxPixels` down that fits the width; on two lines
// when one line would have to be much smaller and the key is tall enough.
void DrawLabel(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
               double maxPixels) {
    if (text.isEmpty()) {
        return;
    }
    p.setPen(colour);
    const qsizetype space = text.indexOf(' ');
    for (double size = maxPixels; size >= 7; size -= 1) {
        const QFont font = Font(size);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(text) <= r.width() - 2) {
            p.setFont(font);
            p.drawText(r, Qt::AlignCenter, text);
            return;
        }
        if (space > 0 && size <= 10 && r.height() >= 2 * metrics.height() - 2) {
            const QString first = text.left(space);
            const QString second = text.mid(space + 1);
            if (std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second)) <=
                r.width() - 2) {
                p.setFont(font);
                p.drawText(r, Qt::AlignCenter, first + "\n" + second);
                return;
            }
        }
    }
    p.setFont(Font(7));
    p.drawText(r, Qt::AlignCenter, text);
}

void Triangle(QPainterPath& path, QPointF a, QPointF b, QPointF c) {
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
}

void DrawGlyph(QPainter& p, const QRectF& r, Glyph glyph, const QColor& colour) {
    const double s = std::min(r.width(), r.height()) * 0.42;
    const QPointF c = r.center();
    QPainterPath path;
    auto right = [&](double x, double w) {
        Triangle(path, {x, c.y() - w}, {x + w * 1.2, c.y()}, {x, c.y() + w});
    };
    auto left = [&](double x, double w) {
        Triangle(path, {x, c.y() - w}, {x - w * 1.2, c.y()}, {x, c.y() + w});
    };
    const double h = s / 2;
    switch (glyph) {
        case Glyph::None:
            return;
        case Glyph::Power: {
            QPen pen(colour, std::max(2.0, s / 6), Qt::SolidLine, Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            const QRectF ring(c.x() - h, c.y() - h + 1, s, s);
            p.drawArc(ring, 120 * 16, -240 * 16);
            p.drawLine(QPointF(c.x(), c.y() - h - 1), QPointF(c.x(), c.y()));
            return;
        }
        case Glyph::Up:
            Triangle(path, {c.x(), c.y() - h}, {c.x() + h, c.y() + h * 0.6},
                     {c.x() - h, c.y() + h * 0.6});
            break;
        case Glyph::Down:
            Triangle(path, {c.x(), c.y() + h}, {c.x() + h, c.y() - h * 0.6},
                     {c.x() - h, c.y() - h * 0.6});
            break;
        case Glyph::Left:
            Triangle(path, {c.x() - h, c.y()}, {c.x() + h * 0.6, c.y() - h},
                     {c.x() + h * 0.6, c.y() + h});
            break;
        case Glyph::Right:
        case Glyph::NextForm:
            Triangle(path, {c.x() + h, c.y()}, {c.x() - h * 0.6, c.y() - h},
                     {c.x() - h * 0.6, c.y() + h});
            break;
        case Glyph::Play:
            right(c.x() - h * 0.6, h);
            break;
        case Glyph::Pause:
            path.addRect(QRectF(c.x() - h * 0.8, c.y() - h, h * 0.55, 2 * h));
            path.addRect(QRectF(c.x() + h * 0.25, c.y() - h, h * 0.55, 2 * h));
            break;
        case Glyph::Stop:
            path.addRect(QRectF(c.x() - h * 0.85, c.y() - h * 0.85, h * 1.7, h * 1.7));
            break;
        case Glyph::Record:
            p.setPen(Qt::NoPen);
            p.setBrush(colour == Qt::white ? QColor(232, 48, 48) : colour);
            p.drawEllipse(c, h, h);
            return;
        case Glyph::FastRewind:
            left(c.x(), h * 0.8);
            left(c.x() + h, h * 0.8);
            break;
        case Glyph::FastForward:
            right(c.x() - h, h * 0.8);
            right(c.x(), h * 0.8);
            break;
        case Glyph::Rewind:
            path.addRect(QRectF(c.x() - h * 1.1, c.y() - h * 0.8, h * 0.3, h * 1.6));
            left(c.x() + h * 0.5, h * 0.8);
            break;
        case Glyph::Forward:
            right(c.x() - h * 0.5, h * 0.8);
            path.addRect(QRectF(c.x() + h * 0.8, c.y() - h * 0.8, h * 0.3, h * 1.6));
            break;
        case Glyph::Eject:
            Triangle(path, {c.x(), c.y() - h}, {c.x() + h, c.y() + h * 0.1},
                     {c.x() - h, c.y() + h * 0.1});
            path.addRect(QRectF(c.x() - h, c.y() + h * 0.4, 2 * h, h * 0.45));
            break;
        case Glyph::Back:
            left(c.x() + h * 0.2, h * 0.8);
            path.addRect(QRectF(c.x() + h * 0.4, c.y() - h * 0.8, h * 0.3, h * 1.6));
            break;
        case Glyph::Slow:
            right(c.x() - h * 0.9, h * 0.7);
            path.addRect(QRectF(c.x() + h * 0.4, c.y() - h * 0.7, h * 0.25, h * 1.4));
            path.addRect(QRectF(c.x() + h * 0.85, c.y() - h * 0.7, h * 0.25, h * 1.4));
            break;
        case Glyph::Info: {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(QRectF(c.x() - 1.2, r.top() + r.height() * 0.18, 2.4, 2.4));
            p.drawRect(QRectF(c.x() - 1.1, r.top() + r.height() * 0.42, 2.2, r.height() * 0.4));
            return;
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

// One element: a shaped key with shadow, shine and label, in one of the three looks.
void DrawKey(QPainter& p, const QRect& rect, const Style& style, Look look) {
    if (rect.width() < 1 || rect.height() < 1) {
        return;
    }
    p.save();
    p.setClipRect(rect);
    p.setRenderHint(QPainter::Antialiasing);
    const double inset = std::min({2.0, rect.width() / 6.0, rect.height() / 6.0});
    QRectF face = QRectF(rect).adjusted(inset, inset, -inset, -inset - 1);
    QColor base = style.colour;
    QColor text = Qt::white;
    if (look == Look::Disabled) {
        base = Mix(base, QColor(46, 48, 56), 0.7);
        text = QColor(112, 116, 126);
    }
    if (look == Look::Pressed) {
        face.translate(0, 1);
    } else {
        // A soft shadow below the key.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 110));
        p.drawPath(ShapePath(face.translated(0, 1.5), style.shape));
    }
    const QPainterPath path = ShapePath(face, style.shape);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (look == Look::Pressed) {
        const QColor dark = base.darker(150);
        fill.setColorAt(0, dark.darker(120));
        fill.setColorAt(1, dark.lighter(115));
    } else {
        fill.setColorAt(0, base.lighter(look == Look::Disabled ? 108 : 135));
        fill.setColorAt(0.55, base);
        fill.setColorAt(1, base.darker(125));
    }
    p.setBrush(fill);
    p.setPen(QPen(look == Look::Pressed ? QColor(140, 190, 255) : base.darker(170),
                  look == Look::Pressed ? 1.4 : 1.0));
    p.drawPath(path);
    if (look == Look::Active) {
        // The shine on the upper half.
        p.save();
        p.setClipPath(path, Qt::IntersectClip);
        QLinearGradient shine(face.topLeft(), QPointF(face.left(), face.center().y()));
        shine.setColorAt(0, QColor(255, 255, 255, 70));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawRect(QRectF(face.left(), face.top(), face.width(), face.height() / 2));
        p.restore();
    }
    const QRectF content = face.adjusted(2, 1, -2, -1);
    if (style.glyph != Glyph::None) {
        // With a label the symbol takes the left part of the key.
        const QRectF area =
            style.label.isEmpty() ? content : content.adjusted(0, 0, -content.width() * 0.55, 0);
        DrawGlyph(p, area, style.glyph, text);
    }
    if (!style.label.isEmpty()) {
        const double size = std::clamp(face.height() * 0.42, 8.0, 15.0);
        if (style.glyph != Glyph::None) {
            DrawLabel(p, content.adjusted(content.width() * 0.45, 0, 0, 0), style.label, text,
                      std::min(size, 10.0));
        } else {
            DrawLabel(p, content, style.label, text, size);
        }
    }
    p.restore();
}

// ---- The remote body ----------------------------------------------------------------------

// The centre of the 4 x 4 red square that the remote paints at (209, 13) while idle.
const QPointF kLedCentre(211.0, 15.0);

void DrawIdleLed(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(kLedCentre, 5.3, 5.3);
    QRadialGradient lens(kLedCentre, 4.3);
    lens.setColorAt(0, QColor(254, 0, 0));
    lens.setColorAt(0.55, QColor(200, 0, 0));
    lens.setColorAt(1, QColor(96, 0, 8));
    p.setBrush(lens);
    p.drawEllipse(kLedCentre, 4.3, 4.3);
    p.restore();
}

void DrawBody(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, kScreenHeight);
    body.setColorAt(0, kBodyTop);
    body.setColorAt(1, kBodyBottom);
    p.fillRect(QRect(0, 0, kScreenWidth, kScreenHeight), body);
    // Fine brushed lines give the plastic some texture.
    for (int y = 2; y < kScreenHeight; y += 3) {
        p.fillRect(QRect(0, y, 182, 1), QColor(255, 255, 255, 6));
    }
    // The strip of category tabs on the right.
    QRectF strip(181, 26, 59, 242);
    p.setPen(QPen(QColor(20, 22, 26), 1));
    p.setBrush(kStripColour);
    p.drawRoundedRect(strip.adjusted(0.5, 0.5, 6, 6), 8, 8);
    // The display window at the top, where the codebase name is written.
    const QRectF display(54.5, 6.5, 118, 17);
    p.setPen(QPen(QColor(96, 108, 128), 1));
    QLinearGradient glass(display.topLeft(), display.bottomLeft());
    glass.setColorAt(0, kDisplayColour.lighter(140));
    glass.setColorAt(1, kDisplayColour);
    p.setBrush(glass);
    p.drawRoundedRect(display, 4, 4);
    // The send indicator's LED, switched off, centred on the red square that the remote
    // paints there while it is idle, so that the square reads as the LED's own glint.
    DrawIdleLed(p);
}

Style PanelStyle(const PanelElementDef& panel, int category) {
    Style style;
    style.label = ShortLabel(QString::fromLatin1(panel.name));
    style.colour = QColor(66, 72, 86);
    if (panel.id == kPanelNextForm) {
        style.glyph = Glyph::NextForm;
        style.label = "more";
        style.shape = Shape::Pill;
        style.colour = QColor(76, 82, 98);
    } else if (panel.id == kPanelSelect) {
        style.colour = QColor(30, 132, 124);
        style.shape = Shape::Pill;
    } else if (panel.id >= CategoryTabId(kCategoryTv) && panel.id <= CategoryTabId(kCategoryTiVo)) {
        style.colour =
            panel.id == CategoryTabId(category) ? QColor(214, 134, 34) : QColor(62, 68, 82);
    } else if (panel.id == kPanelStopLearn) {
        style.colour = QColor(196, 48, 40);
        style.shape = Shape::Pill;
    }
    return style;
}

void DrawInfo(QPainter& p, const QRect& rect, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect).adjusted(1, 1, -1, -1).translated(0, look == Look::Pressed);
    QColor blue = look == Look::Disabled  ? QColor(70, 78, 96)
                  : look == Look::Pressed ? QColor(24, 70, 150)
                                          : QColor(40, 110, 220);
    p.setPen(QPen(blue.darker(160), 1));
    p.setBrush(blue);
    p.drawEllipse(r);
    DrawGlyph(p, r, Glyph::Info, look == Look::Disabled ? QColor(140, 144, 150) : Qt::white);
    p.restore();
}

void DrawBlip(QPainter& p, const QRect& rect, Look look) {
    p.save();
    p.setClipRect(rect);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(kLedCentre, 7);
    const QColor lit = look == Look::Disabled ? QColor(90, 60, 50) : QColor(255, 180, 40);
    glow.setColorAt(0, QColor(255, 245, 200));
    glow.setColorAt(0.35, lit);
    glow.setColorAt(1, QColor(lit.red(), lit.green(), lit.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(kStripColour);
    p.drawRect(rect);
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(kLedCentre, 5.3, 5.3);
    p.setBrush(glow);
    p.drawEllipse(kLedCentre, 7, 7);
    p.restore();
}

// Where two elements' rectangles overlap, the remote copies the overlap from the picture of
// whichever element it draws later, in that element's state; the overlap must look the same
// in every picture, or an element shows a square of its neighbour's state. So each element is
// drawn inside the largest part of its rectangle that it shares with none, and overlaps show
// the bare body.
QRect OwnFace(const QRect& rect, const std::vector<QRect>& others) {
    std::vector<QRect> overlaps;
    for (const QRect& other : others) {
        if (other != rect && other.intersects(rect)) {
            overlaps.push_back(other.intersected(rect));
        }
    }
    // Each overlap is left out by moving one side of the rectangle past it; every choice of
    // side per overlap is tried (a key has few neighbours) and the largest face kept.
    QRect best;
    const size_t choices = size_t(1) << (2 * std::min<size_t>(overlaps.size(), 6));
    for (size_t choice = 0; choice < choices; ++choice) {
        QRect face = rect;
        for (size_t i = 0; i < overlaps.size() && i < 6; ++i) {
            const QRect& cut = overlaps[i];
            if (!face.intersects(cut)) {
                continue;
            }
            switch ((choice >> (2 * i)) & 3) {
                case 0:
                    face.setLeft(cut.right() + 1);
                    break;
                case 1:
                    face.setRight(cut.left() - 1);
                    break;
                case 2:
                    face.setTop(cut.bottom() + 1);
                    break;
                default:
                    face.setBottom(cut.top() - 1);
                    break;
            }
        }
        const bool clear = std::none_of(overlaps.begin(), overlaps.end(),
                                        [&face](const QRect& cut) { return face.intersects(cut); });
        if (clear && face.isValid() &&
            int64_t(face.width()) * face.height() > int64_t(best.width()) * best.height()) {
            best = face;
        }
    }
    return best;
}

void DrawElements(QPainter& p, int form, Look look, bool withStopLearn, bool blipLit,
                  std::optional<Look> panelLook = std::nullopt) {
    const int category = FormCategory(form);
    std::vector<QRect> rects;
    for (const ButtonDef& button : Form(form).buttons) {
        rects.emplace_back(button.rect.left, button.rect.top, button.rect.width,
                           button.rect.height);
    }
    for (const PanelElementDef& panel : PanelElements()) {
        rects.emplace_back(panel.rect.left, panel.rect.top, panel.rect.width, panel.rect.height);
    }
    std::vector<QRect> faces;
    for (const QRect& rect : rects) {
        faces.push_back(OwnFace(rect, rects));
    }
    size_t index = 0;
    for (const ButtonDef& button : Form(form).buttons) {
        const size_t at = index++;
        if (button.rect.IsEmpty()) {
            continue;
        }
        DrawKey(p, faces[at], ButtonStyle(QString::fromLatin1(button.name), button.rect), look);
    }
    look = panelLook.value_or(look);
    for (const PanelElementDef& panel : PanelElements()) {
        const size_t at = index++;
        if (panel.activeImage) {
            continue;  // draws itself from its own pictures
        }
        if (panel.id == kPanelInfo) {
            DrawInfo(p, faces[at], look);
        } else if (panel.id == kPanelBlip) {
            if (blipLit) {
                DrawBlip(p, faces[at], look);
            }
        } else if (panel.id != kPanelStopLearn || withStopLearn) {
            DrawKey(p, faces[at], PanelStyle(panel, category), look);
        }
    }
}

// ---- Colour reduction and GIF -------------------------------------------------------------

int Distance(QRgb a, QRgb b) {
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr * 3 + dg * dg * 4 + db * db * 2;
}

// ---- Sounds -------------------------------------------------------------------------------

constexpr uint32_t kRate = 22050;

void AddSample(WaveSound& sound, double value) {
    const double clamped = std::clamp(value, -1.0, 1.0);
    const auto s = static_cast<int16_t>(std::lround(clamped * 32000));
    sound.samples.push_back(static_cast<uint8_t>(s & 0xFF));
    sound.samples.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
}

WaveSound Empty() {
    WaveSound sound;
    sound.channels = 1;
    sound.sampleRate = kRate;
    sound.bitsPerSample = 16;
    return sound;
}

// A soft tone: fast attack, exponential decay, a touch of its octave for warmth.
double Tone(double t, double frequency, double decay) {
    const double attack = std::min(1.0, t / 0.004);
    return attack * std::exp(-t * decay) *
           (std::sin(2 * std::numbers::pi * frequency * t) +
            0.25 * std::sin(4 * std::numbers::pi * frequency * t));
}

WaveSound Click() {
    WaveSound sound = Empty();
    const int frames = kRate * 18 / 1000;
    uint32_t noise = 0x1234567u;
    double low = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        noise = noise * 1664525u + 1013904223u;
        const double white = (double(noise >> 8) / double(1u << 24)) * 2 - 1;
        low += (white - low) * 0.35;  // softened noise: a tap, not a hiss
        AddSample(sound, 0.5 * std::exp(-t * 320) * low + 0.35 * Tone(t, 2200, 260));
    }
    return sound;
}

WaveSound System() {
    WaveSound sound = Empty();
    const int frames = kRate * 70 / 1000;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        AddSample(sound, 0.32 * Tone(t, 1318.5, 60));
    }
    return sound;
}

WaveSound Learn() {
    // A rising major triad, each note ringing into the next.
    WaveSound sound = Empty();
    const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
    const double step = 0.075;
    const int frames = static_cast<int>(kRate * (step * 4 + 0.25));
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        double v = 0;
        for (int n = 0; n < 4; ++n) {
            const double start = n * step;
            if (t >= start) {
                v += Tone(t - start, notes[n], n == 3 ? 9 : 16);
            }
        }
        AddSample(sound, 0.18 * v);
    }
    return sound;
}

}  // namespace

QImage FormPicture(int form, int image) {
    QImage picture(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    QPainter p(&picture);
    DrawBody(p);
    switch (image) {
        case kImageBackground:
            // Buttons as they usually look; the panel as it looks switched off, which is
            // what shows where learning hides it.
            DrawElements(p, form, Look::Active, false, false, Look::Disabled);
            break;
        case kImageActive:
            DrawElements(p, form, Look::Active, true, true);
            break;
        case kImagePressed:
            DrawElements(p, form, Look::Pressed, true, true);
            break;
        default:
            DrawElements(p, form, Look::Disabled, true, false);
            break;
    }
    return picture;
}

QImage SelectorTriangle(bool pressed) {
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(kMagenta);
    QPainter p(&picture);
    // Crisp edges: a blended edge pixel would not be magenta and would show as a fringe.
    p.setRenderHint(QPainter::Antialiasing, false);
    QPolygon triangle;
    triangle << QPoint(2, 3) << QPoint(13, 3) << QPoint(7, 10) << QPoint(8, 10);
    p.setPen(pressed ? QColor(120, 180, 255) : QColor(230, 234, 240));
    p.setBrush(pressed ? QColor(80, 150, 255) : QColor(200, 206, 216));
    p.drawPolygon(triangle);
    return picture;
}

QImage GreetingPicture(bool pressed) {
    const Look look = pressed ? Look::Pressed : Look::Active;
    QImage picture(240, 320, QImage::Format_RGB32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 320);
    sky.setColorAt(0, QColor(24, 44, 84));
    sky.setColorAt(1, QColor(10, 14, 26));
    p.fillRect(picture.rect(), sky);
    // Waves of light from the remote's window.
    for (int i = 0; i < 5; ++i) {
        p.setPen(QPen(QColor(255, 120, 80, 120 - i * 20), 2));
        p.drawArc(QRectF(28 - i * 14, 70 - i * 14, 60 + i * 28, 60 + i * 28), 30 * 16, 120 * 16);
    }
    // A small remote leaning into the picture.
    p.save();
    p.translate(60, 170);
    p.rotate(-12);
    QLinearGradient shell(-30, 0, 30, 0);
    shell.setColorAt(0, QColor(70, 76, 90));
    shell.setColorAt(1, QColor(34, 36, 44));
    p.setPen(QPen(QColor(16, 16, 20), 1.5));
    p.setBrush(shell);
    p.drawRoundedRect(QRectF(-28, -70, 56, 150), 18, 18);
    p.setBrush(QColor(196, 42, 42));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(-12, -52), 6, 6);
    p.setBrush(QColor(36, 112, 196));
    p.drawEllipse(QPointF(0, -18), 11, 11);
    p.setBrush(QColor(110, 118, 136));
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.drawRoundedRect(QRectF(-19 + col * 14, 6 + row * 14, 10, 9), 3, 3);
        }
    }
    p.restore();
    // Title and welcome.
    p.setPen(Qt::white);
    p.setFont(Font(26));
    p.drawText(QRectF(0, 14, 240, 34), Qt::AlignCenter, "ArdelRemote");
    p.setPen(QColor(170, 190, 220));
    p.setFont(Font(12, false));
    p.drawText(QRectF(0, 46, 240, 18), Qt::AlignCenter, "the remote that learns");
    p.setPen(QColor(220, 228, 240));
    const QFont welcome = Font(11, false);
    p.setFont(welcome);
    const QRect text(116, 176, 118, 110);
    p.drawText(text, Qt::AlignLeft,
               BalancedLines("Teach it the buttons of your own remotes, then control TV, "
                             "receiver and players from one screen.",
                             QFontMetrics(welcome), text.width()));
    const QRect start(159, 106, 78, 33);
    const QRect help(159, 139, 78, 30);
    DrawKey(p, start, {QColor(30, 132, 124), Shape::Pill, Glyph::None, "Start"}, look);
    DrawKey(p, help, {QColor(36, 112, 196), Shape::Pill, Glyph::None, "Help"}, look);
    // The check box: ticked in the pressed picture.
    const QRectF box(8, 297, 14, 14);
    p.setPen(QPen(QColor(200, 210, 226), 1.5));
    p.setBrush(QColor(16, 22, 36));
    p.drawRoundedRect(box, 3, 3);
    if (pressed) {
        QPainterPath tick;
        tick.moveTo(box.left() + 3, box.center().y());
        tick.lineTo(box.left() + 6, box.bottom() - 3);
        tick.lineTo(box.right() - 2.5, box.top() + 3);
        p.setPen(QPen(QColor(110, 220, 140), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    p.setPen(QColor(200, 210, 226));
    p.setFont(Font(11, false));
    p.drawText(QRectF(28, 294, 206, 20), Qt::AlignVCenter | Qt::AlignLeft,
               "Do not show this screen again");
    return picture;
}

QImage BuiltInPicture(int number) {
    switch (number) {
        case 187: {  // the logo: a remote sending its light
            QImage picture(48, 48, QImage::Format_RGB32);
            picture.fill(QColor(240, 240, 240));
            QPainter p(&picture);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(36, 112, 196));
            p.drawRoundedRect(QRectF(2, 2, 44, 44), 10, 10);
            p.setBrush(QColor(30, 32, 38));
            p.drawRoundedRect(QRectF(17, 16, 14, 28), 5, 5);
            p.setBrush(QColor(220, 60, 60));
            p.drawEllipse(QPointF(24, 21), 2.5, 2.5);
            for (int i = 0; i < 3; ++i) {
                p.setPen(QPen(QColor(255, 255, 255, 230 - i * 50), 2));
                p.setBrush(Qt::NoBrush);
                p.drawArc(QRectF(16 - i * 5, 4 - i * 4, 16 + i * 10, 16 + i * 8), 40 * 16,
                          100 * 16);
            }
            return picture;
        }
        case 188: {  // product name and version
            QImage picture(150, 26, QImage::Format_RGB32);
            picture.fill(QColor(240, 240, 240));
            QPainter p(&picture);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QColor(24, 44, 84));
            p.setFont(Font(18));
            p.drawText(QRectF(0, 0, 150, 26), Qt::AlignVCenter | Qt::AlignLeft, "ArdelRemote");
            p.setPen(QColor(36, 112, 196));
            p.setFont(Font(13));
            p.drawText(QRectF(0, 0, 148, 26), Qt::AlignVCenter | Qt::AlignRight, "2.2");
            return picture;
        }
        case 189: {  // notices and where to find the makers
            QImage picture(200, 120, QImage::Format_RGB32);
            picture.fill(QColor(240, 240, 240));
            QPainter p(&picture);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QColor(40, 40, 48));
            p.setFont(Font(10, false));
            p.drawText(QRectF(4, 4, 192, 112), Qt::AlignLeft | Qt::TextWordWrap,
                       "ArdelRemote for Linux, a learning remote control.\n"
                       "Copyright the ArdelRemote developers.\n\n"
                       "Web: " ARDEL_WEB_ADDRESS
                       "\n"
                       "Mail: " ARDEL_SUPPORT_ADDRESS);
            return picture;
        }
        case 198: {  // grey rounded panel, magenta outside its corners
            QImage picture(220, 69, QImage::Format_RGB32);
            picture.fill(kMagenta);
            QPainter p(&picture);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QColor(150, 150, 156));
            p.setBrush(QColor(212, 212, 216));
            p.drawRoundedRect(QRect(0, 0, 219, 68), 12, 12);
            return picture;
        }
        default:
            return QImage();
    }
}

WaveSound SoundEffect(const QString& name) {
    if (name == "click.wav") {
        return Click();
    }
    if (name == "system.wav") {
        return System();
    }
    if (name == "learn.wav") {
        return Learn();
    }
    return Empty();
}

QImage ReduceColours(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    // Count the colours; a picture with 256 or fewer keeps them exactly.
    std::map<QRgb, uint32_t> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            ++counts[line[x] | 0xFF000000u];
        }
    }
    QList<QRgb> palette;
    if (counts.size() <= 256) {
        for (const auto& entry : counts) {
            palette.push_back(entry.first);
        }
    } else {
        // Otherwise the 256 most used 5-bit-per-channel boxes, each by its mean colour.
        struct Box {
            uint64_t r = 0, g = 0, b = 0, n = 0;
        };
        std::map<uint32_t, Box> boxes;
        for (const auto& [rgb, n] : counts) {
            const uint32_t key = (qRed(rgb) >> 3) << 10 | (qGreen(rgb) >> 3) << 5 | qBlue(rgb) >> 3;
            Box& box = boxes[key];
            box.r += static_cast<uint64_t>(qRed(rgb)) * n;
            box.g += static_cast<uint64_t>(qGreen(rgb)) * n;
            box.b += static_cast<uint64_t>(qBlue(rgb)) * n;
            box.n += n;
        }
        std::vector<std::pair<uint32_t, Box>> ranked(boxes.begin(), boxes.end());
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.second.n > b.second.n; });
        ranked.resize(std::min<size_t>(ranked.size(), 256));
        for (const auto& [key, box] : ranked) {
            palette.push_back(qRgb(int(box.r / box.n), int(box.g / box.n), int(box.b / box.n)));
        }
    }
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    std::unordered_map<QRgb, uint8_t> nearest;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = line[x] | 0xFF000000u;
            auto found = nearest.find(rgb);
            if (found == nearest.end()) {
                int best = 0;
                for (int i = 1; i < palette.size(); ++i) {
                    if (Distance(rgb, palette[i]) < Distance(rgb, palette[best])) {
                        best = i;
                    }
                }
                found = nearest.emplace(rgb, static_cast<uint8_t>(best)).first;
            }
            out[x] = found->second;
        }
    }
    return indexed;
}

bool WriteGif(const QImage& indexed, const QString& path) {
    if (indexed.format() != QImage::Format_Indexed8 || indexed.colorCount() > 256) {
        return false;
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
    if (!gif) {
        return false;
    }
    GifColorType colours[256] = {};
    for (int i = 0; i < indexed.colorCount(); ++i) {
        const QRgb c = indexed.color(i);
        colours[i] = {static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                      static_cast<GifByteType>(qBlue(c))};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours);
    bool ok =
        map && EGifPutScreenDesc(gif, indexed.width(), indexed.height(), 8, 0, map) == GIF_OK &&
        EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height(); ++y) {
        ok = EGifPutLine(gif, const_cast<GifByteType*>(indexed.constScanLine(y)),
                         indexed.width()) == GIF_OK;
    }
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

std::vector<ArtFile> AllArtwork() {
    std::vector<ArtFile> files;
    auto picture = [&](QString path, ArtFile::Kind kind, std::function<QImage()> draw) {
        files.push_back({std::move(path), kind, std::move(draw), nullptr, nullptr});
    };
    for (int form = 0; form < kFormCount; ++form) {
        for (int image = 0; image < kFormImageCount; ++image) {
            picture(QString("skins/%1%2").arg(Form(form).name, FormImageSuffix(image)),
                    ArtFile::kGif, [=] { return ReduceColours(FormPicture(form, image)); });
        }
    }
    for (const PanelElementDef& panel : PanelElements()) {
        if (panel.activeImage) {
            picture(QString("skins/") + panel.activeImage, ArtFile::kBmp,
                    [] { return SelectorTriangle(false); });
        }
        if (panel.pressedImage) {
            picture(QString("skins/") + panel.pressedImage, ArtFile::kBmp,
                    [] { return SelectorTriangle(true); });
        }
    }
    picture("skins/Greeting_Activ.png", ArtFile::kPng, [] { return GreetingPicture(false); });
    picture("skins/Greeting_Pressed.png", ArtFile::kPng, [] { return GreetingPicture(true); });
    for (int number : {187, 188, 189, 198}) {
        picture(QString("bitmaps/bitmap%1.bmp").arg(number), ArtFile::kBmp,
                [=] { return BuiltInPicture(number); });
    }
    for (const char* name : {"click.wav", "system.wav", "learn.wav"}) {
        files.push_back({QString("sounds/") + name, ArtFile::kWave, nullptr,
                         [=] { return SoundEffect(name); }, nullptr});
    }
    files.push_back({"icons/ardelremote.svg", ArtFile::kSvg, nullptr, nullptr, AppIconSvg});
    for (const int size : kAppIconSizes) {
        picture(QString("icons/ardelremote-%1.png").arg(size), ArtFile::kPng,
                [=] { return AppIconPicture(size); });
    }
    return files;
}
