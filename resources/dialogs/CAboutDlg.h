// The About dialog: logo, product name and version, build, and the maker's notices.
// A tap anywhere closes it.
#pragma once

#include <QDialog>
#include <QPixmap>

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr const char* kBuild = "Build 05.04.08a";

    explicit CAboutDlg(QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// The pictures built into the program, by bitmap number (187 logo, 188 name and version,
// 189 notices, 198 the learning panel); a null image for one it lacks.
QImage BuiltInBitmap(int number);
// The same as a picture whose magenta (0xFF00FF) pixels are left out when it is drawn.
QPixmap MaskedBuiltInBitmap(int number);
