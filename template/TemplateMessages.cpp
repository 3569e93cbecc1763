#include "template/TemplateMessages.h"

#include "common/UserPrompts.h"

void showVariableSectionError(UserPrompts &prompts)
{
    prompts.message(QStringLiteral("Error"), variableSectionError());
}
