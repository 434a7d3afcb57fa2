#include "app/program/ScreenScale.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>

#include "remote/CSkinForm.h"
#include "store/FormTables.h"

int ChooseScale(int availableHeight, int windowHeight) {
    if (windowHeight <= 0) {
        return 1;
    }
    const int scale = (availableHeight - kWindowDecorationPx) / windowHeight;
    return std::clamp(scale, 1, kMaxScale);
}

int TallestWindowHeight() {
    // The menu bar as the main frame builds it: its height follows the font, not the items.
    QMenuBar bar;
    bar.addMenu(QStringLiteral("Options"));
    bar.addMenu(QStringLiteral("Preferences"));
    return std::max(bar.sizeHint().height() + kScreenHeight, CSkinForm::kGreetingHeight);
}

int ScaleForScreen(int argc, char** argv) {
    QApplication probe(argc, argv);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return 1;
    }
    return ChooseScale(screen->availableGeometry().height(), TallestWindowHeight());
}
