// The program's icon, for the desktop's menus, task bars and the window. One list of shapes
// is both written as SVG (the scalable icon) and painted into PNG pictures of the sizes that
// icon themes ask for, so the two never drift apart.
#pragma once

#include <QByteArray>
#include <QImage>

// The square sizes, in pixels, of the PNG icons installed beside the SVG.
inline constexpr int kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon as an SVG document (a 256 x 256 canvas).
QByteArray AppIconSvg();
// The icon painted at size x size pixels, transparent around the remote.
QImage AppIconPicture(int size);
