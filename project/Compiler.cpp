#include "project/Compiler.h"

#include "common/OutsideLibrary.h"
#include "common/RunLog.h"
#include "common/Windows1252.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// The compiler hands each message to this callback during the call, on this thread.
void appendMessage(void *context, const char *line)
{
    if (context && line)
        static_cast<QStringList *>(context)->append(fromWindows1252(QByteArrayView(line)));
}

} // namespace

K5CmpBinding::K5CmpBinding(const QString &libraryName) : m_libraryName(libraryName) {}

K5CmpBinding::~K5CmpBinding()
{
    m_entry = nullptr;
    if (m_library)
        m_library->unload();
}

K5CmpBinding &K5CmpBinding::program()
{
    static K5CmpBinding binding;
    return binding;
}

bool K5CmpBinding::bind()
{
    if (m_entry)
        return true;
    if (!m_library)
        m_library = loadOutsideLibrary(m_libraryName);
    if (!m_library)
        return false;
    m_entry = reinterpret_cast<TK5CmpBuildDefault>(m_library->resolve("K5CmpBuildDefault"));
    if (!m_entry)
        m_library.reset(); // a library without the entry point is loaded afresh next time
    return m_entry != nullptr;
}

int K5CmpBinding::CallK5CmpBuildDefault(const QString &ProjectPath, QStringList &ListWindow)
{
    if (!bind())
        return 0;
    const QByteArray path = toWindows1252(ProjectPath);
    const K5CmpSink sink{&ListWindow, &appendMessage};
    return m_entry(path.constData(), &sink);
}

int CallK5CmpBuildDefault(const QString &ProjectPath, QStringList &ListWindow)
{
    return K5CmpBinding::program().CallK5CmpBuildDefault(ProjectPath, ListWindow);
}

bool CompileProject(const QString &ProjectName, RunLog &log, QStringList &CompilerErrorList,
                    K5CmpBinding &binding)
{
    CompilerErrorList.clear();
    log.LogLine(QStringLiteral("Calling compiler"));
    if (binding.CallK5CmpBuildDefault(ProjectName, CompilerErrorList) != 0) {
        log.LogLine(QStringLiteral("Successful compilation"));
        return true;
    }
    log.LogError(QStringLiteral("Compilation error"));
    for (const QString &line : CompilerErrorList)
        log.LogLine(line);
    return false;
}
