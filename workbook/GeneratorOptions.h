#pragma once

class QDomElement;
class Worksheet;

// The generator's three switches; all false until read.
struct TXmlGeneratorOptions {
    bool KeepGeneratedVars = false;
    bool DisableVarIndicationCreatedByGenerator = false;
    bool GenerateMultiTaskApp = false;
};

// Fills `options` from a GeneratorOptions element, reading option cells from `sheet` (may be
// null: cell forms then fall back to their defaults). An option that cannot be read stays
// false and leaves the others alone.
void ReadGeneratorOptions(const Worksheet *sheet, const QDomElement &element,
                          TXmlGeneratorOptions &options);
