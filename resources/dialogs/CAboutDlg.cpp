#include "resources/dialogs/CAboutDlg.h"

#include <QBitmap>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "resources/dialogs/DialogUnits.h"

QImage BuiltInBitmap(int number) {
    return QImage(QString(":/bitmaps/bitmap%1.bmp").arg(number));
}

QPixmap MaskedBuiltInBitmap(int number) {
    constexpr QRgb kTransparent = 0xFF00FF;
    QPixmap picture = QPixmap::fromImage(BuiltInBitmap(number));
    if (!picture.isNull()) {
        picture.setMask(picture.createMaskFromColor(QColor(kTransparent), Qt::MaskInColor));
    }
    return picture;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About ArdelRemote");
    setFixedSize(DluX(165), DluY(177));
    setFont(QFont("Arial", 8));

    auto picture = [this](int number, int x, int y) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("bitmap%1").arg(number));
        label->setPixmap(QPixmap::fromImage(BuiltInBitmap(number)));
        label->adjustSize();
        // A picture keeps its place but never reaches past the dialog's edge.
        label->move(std::min(DluX(x), width() - label->width() - 4), DluY(y));
    };
    picture(187, 11, 11);
    picture(188, 69, 17);

    auto* build = new QLabel(kBuild, this);
    build->setObjectName("build");
    build->move(DluX(71), DluY(35));
    build->adjustSize();
}

void CAboutDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The notices are painted at a fixed pixel position under the texts.
    QPainter painter(this);
    painter.drawImage(QPoint(10, 130), BuiltInBitmap(189));
}

void CAboutDlg::mousePressEvent(QMouseEvent*) {
    done(1);
}
