// The string table's texts as the windows show them.
#pragma once

#include <QString>
#include <QStringList>

#include "resources/Strings.h"

// The text of string `id` with its placeholders (%s for a text, %d for a number) filled in
// from `values`, in order. A value goes in as it is: a "%s" inside a path stays a "%s".
QString StringText(int id, const QStringList& values = {});

// `text` with every web address in it kept on one line when the text is wrapped.
QString KeepAddressesWhole(const QString& text);
