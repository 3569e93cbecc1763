#pragma once

#include <QString>
#include <QStringView>
#include <functional>

// One placeholder of a template text as written: its name between the markers, with the
// argument part still in it, and the offset of its opening marker in the text.
struct PlaceholderAt {
    QString name;
    qsizetype offset = 0;
    bool firstOnLine = false;
};

// Visits each placeholder of each line of `text`, and each "%%" left without its closing
// partner on its line (`unclosed`, with its offset).
void scanPlaceholders(QStringView text, const std::function<void(const PlaceholderAt &)> &visit,
                      const std::function<void(qsizetype offset)> &unclosed);
