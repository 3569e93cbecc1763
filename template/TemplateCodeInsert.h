#pragma once

#include "template/TCodeTab.h"

#include <QString>
#include <QStringList>

// The signal line that causes a function block to be created from its template. Filled only
// while that block is created; empty otherwise. Template-created elements of the block's
// template expand their code for this line, with %%option%% standing for the block's name.
struct TTemplateCodeInsert {
    int Ln = 0;                              // the signal line's row index
    const QStringList *InputLine = nullptr;  // its cells; not owned
    QString OptionStr;                       // the name of the block being created
    UserInputList *SignUserVar = nullptr;    // the signal types' user inputs; not owned

    bool isEmpty() const { return OptionStr.isEmpty(); }
    void clear() { *this = TTemplateCodeInsert(); }
};
