// Which kind of device a remote file's remote controls, from every hint the file gives: the
// folders it lies in (collections are sorted by kind and brand), its comments, the remote's
// and the file's name, the brand, and the button names weighted by how typical they are of a
// kind of device.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct CategoryHints {
    QString path;        // the file's path as given; its folders are hints
    QString remoteName;  // the remote's own name, or empty
    std::vector<QString> comments;
    std::vector<QString> buttonNames;
};

// The device category the hints point to; TV when nothing tells.
int GuessCategory(const CategoryHints& hints);

// The same from a remote's name and its button names alone.
int GuessCategory(const QString& remoteName, const std::vector<QString>& buttonNames);

// The kind of device that a name of a folder or a remote says by itself ("TVs",
// "Audio_Receivers", "Blu-Ray"); Unknown when it names none.
int CategoryNamedBy(const QString& text);

// The runs of `text` whose characters `inWord` takes, in order.
QStringList SplitWords(const QString& text, const std::function<bool(QChar)>& inWord);
