#pragma once

#include <QString>
#include <QStringView>

// Removes every character with a code up to 32 (blanks and control characters) from both
// ends of a text.
QString trimText(QStringView text);
