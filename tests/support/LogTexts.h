#pragma once

#include "common/RunLog.h"

#include <QStringList>

// The texts of a run log's lines, without their time stamps ("hh:mm:ss.zzz  ").
inline QStringList logTexts(const RunLog &log)
{
    QStringList texts;
    for (const QString &line : log.lines())
        texts.append(line.mid(14));
    return texts;
}
