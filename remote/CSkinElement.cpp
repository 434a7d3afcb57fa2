#include "remote/CSkinElement.h"

#include <QPainter>

namespace {

constexpr int kMaxRight = 240;
constexpr int kMaxBottom = 320;

// The top-left `size` of `image` with every pixel of `colour` made transparent.
QImage Masked(const QImage& image, QSize size, uint32_t colour) {
    // A picture smaller than the element gives only what it has.
    QImage part = image.copy(QRect(QPoint(0, 0), size.boundedTo(image.size())))
                      .convertToFormat(QImage::Format_ARGB32);
    const QRgb key = 0xFF000000u | (colour & 0xFFFFFFu);
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key) {
                line[x] = 0;
            }
        }
    }
    return part;
}

}  // namespace

void CSkinElement::SetImageSource(int32_t source) {
    if (source == kImagesOfForm || source == kImagesOwn) {
        imageSource_ = source;
    }
}

bool CSkinElement::HitTest(int x, int y) const {
    if (state_ == kStateDisabled || !enabled || !visible) {
        return false;
    }
    // 64-bit sums: a table may hold any 32-bit rectangle.
    return left < x && int64_t{x} < int64_t{left} + width && top < y &&
           int64_t{y} < int64_t{top} + height;
}

void CSkinElement::Draw(QPainter* target, const StateImages* stateImages) const {
    if (!visible || !target || !stateImages || left < 0 || top < 0 ||
        int64_t{left} + width > kMaxRight || int64_t{top} + height > kMaxBottom || width < 1 ||
        height < 1) {
        return;
    }
    const QRect rect(left, top, width, height);
    const int index = ImageIndex();
    if (imageSource_ == kImagesOfForm) {
        const QImage* image = (*stateImages)[index];
        if (image && !image->isNull()) {
            target->setCompositionMode(QPainter::CompositionMode_Source);
            target->drawImage(rect.topLeft(), *image, rect);
            target->setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        return;
    }
    if (!ownImagesLoaded || ownImages[index].isNull()) {
        return;
    }
    target->drawImage(rect.topLeft(), Masked(ownImages[index], rect.size(), transparentColour));
}
