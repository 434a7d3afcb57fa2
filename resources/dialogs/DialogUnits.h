// Dialog layouts are given in dialog units of the 8-point system font; these convert them
// to the handheld's pixels (4 horizontal units to 6 pixels, 8 vertical units to 13).
#pragma once

#include <QFont>
#include <QRect>

inline int DluX(int units) {
    return units * 3 / 2;
}
inline int DluY(int units) {
    return units * 13 / 8;
}
inline QRect DluRect(int x, int y, int width, int height) {
    return QRect(DluX(x), DluY(y), DluX(width), DluY(height));
}
inline QRect DluRect(const QRect& units) {
    return DluRect(units.x(), units.y(), units.width(), units.height());
}

// The dialogs' fonts: Arial by pixel height, bold unless told otherwise.
inline QFont Arial(int pixels, bool bold = true) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
