// The zoom the program starts with when no --scale is given: the largest whole factor at
// which the main window fits on the screen, so a small laptop screen shows all of the remote
// and a large one does not show a postage stamp.
#pragma once

// The largest factor that --scale accepts.
inline constexpr int kMaxScale = 8;
// Room for the title bar and frame that the window manager adds; the zoom does not grow it.
inline constexpr int kWindowDecorationPx = 40;

// The largest factor at which a window `windowHeight` pixels high at factor 1, with the
// decoration, fits into `availableHeight` (the screen's height without panels and docks);
// at least 1, at most kMaxScale.
int ChooseScale(int availableHeight, int windowHeight);

// The height at factor 1 of the tallest window the program opens by itself: the main window
// (its menu bar and the remote screen) or the greeting of the first start, whose check box
// at the bottom must stay within reach. Needs a QApplication.
int TallestWindowHeight();

// Opens the window system for a moment (a QApplication of its own, gone again on return)
// and chooses the factor for the primary screen. The zoom is applied to the whole program
// through QT_SCALE_FACTOR, which Qt reads only when the application starts, so the screen
// has to be measured before the program's own QApplication exists.
int ScaleForScreen(int argc, char** argv);
