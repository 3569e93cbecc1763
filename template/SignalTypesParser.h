#pragma once

#include "template/SignalSheetState.h"
#include "template/TemplateModel.h"
#include "workbook/SignalSheetReader.h"

#include <QDomElement>

class RunLog;
class TemplateDiagnostics;
struct UserPrompts;

// Reads the template's SignalTypes section: its Variables elements set the signal sheet
// layout of `sheet` and fill model.SignVariables and model.SignUserVar; every other child
// becomes a signal type in model.SignTypes (owned by model.SignalTypesPages). Problems are
// logged and parsing goes on as far as it can; a repeated signal type name is logged and
// the second type is parsed but cannot be found by name. With `diagnostics`, each problem is
// also reported there at its place.
void ParseSignalTypes(const QDomElement &SignalTypes, TemplateModel &model, SignalSheetState &sheet,
                      RunLog &log, UserPrompts &prompts,
                      TemplateDiagnostics *diagnostics = nullptr);

// Maps each sheet column from 1 up to SignalTypeRightMostCol to the signal-type user input
// read from it: model.ExcelSheetCol2SignalTypeVarsArr, rebuilt from scratch. A later input of
// the same column wins; inputs of columns outside the map are left out.
void BuildColumnMap(TemplateModel &model, const SignalSheetState &sheet);

// The value test the signal sheet reader applies to each column: the type and range test of
// the column's user input, or acceptance for a column without one. Reads the model's column
// map as it stands when called.
SignalValueCheck signalColumnCheck(const TemplateModel &model);
