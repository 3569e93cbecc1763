#include "app/TemplatePhase.h"

#include "common/Failure.h"

QDomDocument loadTemplateDocument(const QString &path)
{
    throw Failure(path + QStringLiteral(": template reading is not built yet"));
}

void parseTemplateSections(RunState &, RunLog &, UserPrompts &, const QDomElement &) {}
