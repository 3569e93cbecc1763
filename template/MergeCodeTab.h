#pragma once

#include <QtGlobal>

class TCodeTab;

// Merges `source` into `target`: its code lines go directly after line `lineIndex` of the
// target's code (before the first line when the index is -1), indented like that line; its
// variable lines, user inputs, function-block names and folders to delete are appended.
// The source's name, StratonInfo, MainIncludeOptions and TextFiles are not merged, and the
// source is left unchanged. An index past the target's last line appends at the end.
void MergeCodeTab(const TCodeTab &source, TCodeTab &target, qsizetype lineIndex);
