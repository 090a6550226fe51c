#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace platform {

// Every value of an INI file as QSettings reads it, by its QSettings key
// ("Section/key"), except that a comma is an ordinary character: Qt turns an
// unquoted `a,b` into a list and gives back "a, b" for it, while this gives
// the text exactly as written, "a,b". The file's lines, quotes, escapes and
// comments follow Qt's own reading; a key given twice keeps its last value.
QHash<QString, QString> IniTexts(QByteArrayView file);

}  // namespace platform
