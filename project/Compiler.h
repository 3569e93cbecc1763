#pragma once

#include "interfaces/K5CmpApi.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <memory>

class RunLog;

using TK5CmpBuildDefault = decltype(&::K5CmpBuildDefault);

// The compiler library K5CMP and its one entry point, bound on first use: loaded by its bare
// name from the program's own folder first, then through the system's search path. A call
// that finds no entry point tries again at the next call, so a compiler installed while the
// program runs is found.
class K5CmpBinding {
public:
    explicit K5CmpBinding(const QString &libraryName = QStringLiteral("K5CMP"));
    ~K5CmpBinding();
    K5CmpBinding(const K5CmpBinding &) = delete;
    K5CmpBinding &operator=(const K5CmpBinding &) = delete;

    // Compiles the project folder; the compiler's messages are appended to ListWindow, one
    // line each, in order. Returns the compiler's result, or 0 when it is not available.
    int CallK5CmpBuildDefault(const QString &ProjectPath, QStringList &ListWindow);
    bool isBound() const { return m_entry != nullptr; }

    // The binding the program uses, kept for the life of the program once found.
    static K5CmpBinding &program();

private:
    bool bind();

    QString m_libraryName;
    std::unique_ptr<QLibrary> m_library;
    TK5CmpBuildDefault m_entry = nullptr;
};

// Through the program's binding.
int CallK5CmpBuildDefault(const QString &ProjectPath, QStringList &ListWindow);

// Compiles the project folder ProjectName: empties CompilerErrorList, logs "Calling compiler",
// then "Successful compilation" and true, or "Compilation error" followed by each of the
// compiler's messages and false. A missing compiler counts as a failed compilation.
bool CompileProject(const QString &ProjectName, RunLog &log, QStringList &CompilerErrorList,
                    K5CmpBinding &binding = K5CmpBinding::program());
