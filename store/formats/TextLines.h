// Small helpers shared by the readers of text formats of IR codes.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "store/formats/ImportedRemote.h"

struct TextLine {
    int number = 0;   // from 1
    QByteArray text;  // without its line end, trimmed
};

// The file's lines, trimmed. A file with a NUL byte, or whose text is not UTF-8, is no text:
// `error` then says so, naming the file and the line.
bool SplitTextLines(const QByteArray& content, const QString& fileName,
                    std::vector<TextLine>& lines, QString& error);

// Reads a text file of one remote into `remote`: `readLine` takes every line that is neither
// blank nor a '#' comment, then `readEnd` the end of the file (told the last line's number).
// Either stops the reading by returning false with the error set. A file that yields no
// button is the error `noButtons`, named at line `noButtonsLine` (0: the file's last line).
ImportResult ReadRemoteLines(const QByteArray& content, const QString& fileName,
                             ImportedRemote& remote,
                             const std::function<bool(const TextLine&, QString&)>& readLine,
                             const std::function<bool(int, QString&)>& readEnd,
                             const QString& noButtons, int noButtonsLine = 1);

// Keeps the text of a '#' comment line (without the '#'), if it has any.
void AddComment(const QByteArray& line, std::vector<QString>& comments);

// "FILE: line N: what".
QString LineError(const QString& fileName, int line, const QString& what);

// A line "NAME: CODE" split at its last colon; a line without one is a code without a name.
void SplitNamedCode(const QByteArray& line, QString& name, QByteArray& code);

// The file's name without folder and extension, for a remote that names itself nowhere.
QString BaseNameOf(const QString& fileName);
