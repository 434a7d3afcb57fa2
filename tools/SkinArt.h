// The program's artwork, drawn from the form tables: the skin pictures of the twelve
// forms, the codebase selector's triangles, the greeting, the built-in bitmaps, the
// sounds, and the program's icon for the desktop. The generator writes them into resources/; a test
// checks that the files there are what these functions draw from the current tables.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

#include "platform/Wave.h"

// One file of the artwork, by its path below resources/.
struct ArtFile {
    enum Kind { kGif, kBmp, kPng, kWave, kSvg };
    QString path;  // "skins/TV1_Back.gif"
    Kind kind;
    // Draws the picture (GIF pictures come reduced to 256 colours) or makes the sound;
    // nothing is drawn until asked.
    std::function<QImage()> image;
    std::function<WaveSound()> sound;
    std::function<QByteArray()> text;  // an SVG document
};

// Everything the generator writes, in a fixed order.
std::vector<ArtFile> AllArtwork();

// The pieces, for tests and for looking at them.
QImage FormPicture(int form, int image);     // image: kImageBackground ... kImageDisabled
QImage SelectorTriangle(bool pressed);       // 16 x 12, magenta where nothing is drawn
QImage GreetingPicture(bool pressed);        // 240 x 320
QImage BuiltInPicture(int number);           // 187, 188, 189, 198
WaveSound SoundEffect(const QString& name);  // "click.wav", "system.wav", "learn.wav"

// Reduces a picture to at most 256 colours (the GIF limit), the same way every time.
QImage ReduceColours(const QImage& image);
// Writes an 8-bit indexed picture as GIF; false on failure.
bool WriteGif(const QImage& indexed, const QString& path);
