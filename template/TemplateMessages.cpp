#include "template/TemplateMessages.h"

#include "app/UserPrompts.h"

void showVariableSectionError(UserPrompts &prompts)
{
    prompts.message(QStringLiteral("Error"), variableSectionError());
}
