// Keeping a text inside the room it has. The dialogs name their fonts by pixel height, and a
// few of their titles and help lines are wider in the fonts found here than the controls
// that the layouts give them; these give up size before they give up letters.
#pragma once

#include <QFont>
#include <QStringList>

#include <QRect>
#include <vector>

class QFontMetrics;
class QLabel;
class QPushButton;

// The font, made smaller one pixel at a time (down to `smallest`), until every text is at
// most `width` pixels wide in it.
QFont FontFitting(QFont font, const QStringList& texts, int width, int smallest = 8);

// Lets a title use the whole width of its dialog (its vertical place kept) and makes its
// font smaller where its text still does not fit.
void FitTitle(QLabel* title);

// Makes a one-line label at least as high as its text in its font, growing it downwards.
void FitLineHeight(QLabel* label);

// `text` broken into lines of at most `width` pixels in `metrics`' font, as few lines as
// plain wrapping gives, with the words spread evenly over them, so that no line is left with
// a word or two under a full one. Line breaks in `text` stay; a word wider than `width`
// stands on a line of its own.
QString BalancedLines(const QString& text, const QFontMetrics& metrics, int width);

// Sets `text` on a word-wrapping label broken into balanced lines for the label's width.
void SetBalancedText(QLabel* label, const QString& text);

// Lays `buttons` out side by side across `row`, `gap` pixels apart: each gets the width of its
// text in `font` (the widest look it takes) and an even share of what is left, so that a long
// text ("ReLearn") gets more room than a short one ("Hot"); the row is filled to its end.
void LayOutRow(const std::vector<QPushButton*>& buttons, const QRect& row, const QFont& font,
               int gap);
