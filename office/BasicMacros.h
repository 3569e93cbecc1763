#pragma once

#include <QString>
#include <QVariant>
#include <com/sun/star/frame/XModel.hpp>
#include <optional>

// Finds a macro of the document as the spreadsheet application does, and runs it through the
// document's script provider. A bare name is looked up in every module of the document's
// Basic libraries, the VBA project of an imported workbook first; "Module.Name" only in that
// module. Throws Failure when there is no such macro or it fails.
QVariant runDocumentMacro(const css::uno::Reference<css::frame::XModel> &document,
                          const QString &macro, const std::optional<QString> &argument);

// Whether a Basic module's source defines a Sub or Function of this name (any case).
bool basicSourceDefines(const QString &source, const QString &name);
