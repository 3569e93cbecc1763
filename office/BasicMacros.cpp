#include "office/BasicMacros.h"

#include "common/Failure.h"
#include "office/UnoText.h"

#include <QRegularExpression>
#include <QStringList>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/reflection/InvocationTargetException.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/provider/ScriptFrameworkErrorException.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProviderSupplier.hpp>
#include <com/sun/star/script/vba/XVBACompatibility.hpp>

using namespace css;

namespace {

struct MacroPlace {
    QString library;
    QString module;
};

uno::Reference<container::XNameAccess> basicLibraries(const uno::Reference<frame::XModel> &document)
{
    uno::Reference<container::XNameAccess> libraries;
    uno::Reference<beans::XPropertySet>(document, uno::UNO_QUERY_THROW)
        ->getPropertyValue("BasicLibraries") >>= libraries;
    return libraries;
}

// Library names in search order: the VBA project of an imported workbook first.
QStringList librarySearchOrder(const uno::Reference<container::XNameAccess> &libraries)
{
    QStringList names;
    for (const OUString &name : libraries->getElementNames())
        names << fromUno(name);
    const uno::Reference<script::vba::XVBACompatibility> vba(libraries, uno::UNO_QUERY);
    if (vba.is() && vba->getVBACompatibilityMode()) {
        const QString project = fromUno(vba->getProjectName());
        if (names.removeAll(project) > 0)
            names.prepend(project);
    }
    return names;
}

std::optional<MacroPlace> findMacro(const uno::Reference<frame::XModel> &document,
                                    const QString &macro)
{
    const auto libraries = basicLibraries(document);
    if (!libraries.is())
        return std::nullopt;
    const uno::Reference<script::XLibraryContainer> container(libraries, uno::UNO_QUERY_THROW);
    const QStringList parts = macro.split(u'.');
    const QString procedure = parts.back();
    const QString wantedModule = parts.size() == 2 ? parts.front() : QString();
    for (const QString &library : librarySearchOrder(libraries)) {
        if (!container->isLibraryLoaded(toUno(library)))
            container->loadLibrary(toUno(library));
        uno::Reference<container::XNameAccess> modules;
        libraries->getByName(toUno(library)) >>= modules;
        if (!modules.is())
            continue;
        for (const OUString &module : modules->getElementNames()) {
            if (!wantedModule.isEmpty() &&
                fromUno(module).compare(wantedModule, Qt::CaseInsensitive) != 0)
                continue;
            OUString source;
            modules->getByName(module) >>= source;
            if (basicSourceDefines(fromUno(source), procedure))
                return MacroPlace{library, fromUno(module)};
        }
    }
    return std::nullopt;
}

QVariant toVariant(const uno::Any &value)
{
    switch (value.getValueTypeClass()) {
    case uno::TypeClass_BOOLEAN:
        return QVariant(*static_cast<const sal_Bool *>(value.getValue()) != 0);
    case uno::TypeClass_STRING:
        return QVariant(fromUno(*static_cast<const OUString *>(value.getValue())));
    case uno::TypeClass_BYTE:
    case uno::TypeClass_SHORT:
    case uno::TypeClass_UNSIGNED_SHORT:
    case uno::TypeClass_LONG:
    case uno::TypeClass_UNSIGNED_LONG:
    case uno::TypeClass_HYPER: {
        sal_Int64 n = 0;
        value >>= n;
        return QVariant(qint64(n));
    }
    case uno::TypeClass_FLOAT:
    case uno::TypeClass_DOUBLE: {
        double d = 0;
        value >>= d;
        return QVariant(d);
    }
    case uno::TypeClass_VOID:
        return QVariant();
    default:
        // an object, an array or another kind: no number, so the caller's conversion fails
        return QVariant(QStringLiteral("(%1)").arg(fromUno(value.getValueTypeName())));
    }
}

QString failureText(const uno::Exception &e, const uno::Any &wrapped = {})
{
    QString text = fromUno(e.Message).trimmed();
    // the script framework wraps the macro's own error; its message says what went wrong
    uno::Exception inner;
    if ((wrapped >>= inner) && !inner.Message.isEmpty())
        text = fromUno(inner.Message).trimmed();
    return text.isEmpty() ? QStringLiteral("failed") : text;
}

} // namespace

bool basicSourceDefines(const QString &source, const QString &name)
{
    static const QRegularExpression definition(
        QStringLiteral(
            R"(^[ \t]*(?:(?:public|private|static)[ \t]+)*(?:sub|function)[ \t]+([A-Za-z_][A-Za-z0-9_]*))"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    for (auto it = definition.globalMatch(source); it.hasNext();) {
        if (it.next().captured(1).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QVariant runDocumentMacro(const uno::Reference<frame::XModel> &document, const QString &macro,
                          const std::optional<QString> &argument)
{
    const auto place = findMacro(document, macro);
    if (!place)
        throw Failure(QStringLiteral("The workbook has no macro ") + macro);
    const QString name = macro.split(u'.').back();
    const QString uri =
        QStringLiteral("vnd.sun.star.script:%1.%2.%3?language=Basic&location=document")
            .arg(place->library, place->module, name);
    uno::Sequence<uno::Any> arguments;
    if (argument) {
        const uno::Any text(toUno(*argument));
        arguments = uno::Sequence<uno::Any>(&text, 1);
    }
    uno::Sequence<sal_Int16> outIndex;
    uno::Sequence<uno::Any> outValues;
    try {
        // the script object lives only for this call: LibreOffice aborts when it is ended
        // while a VBA script object is still referenced
        uno::Reference<script::provider::XScript> script =
            uno::Reference<script::provider::XScriptProviderSupplier>(document,
                                                                      uno::UNO_QUERY_THROW)
                ->getScriptProvider()
                ->getScript(toUno(uri));
        const uno::Any result = script->invoke(arguments, outIndex, outValues);
        script.clear();
        return toVariant(result);
    } catch (const reflection::InvocationTargetException &e) {
        throw Failure(QStringLiteral("The macro ") + macro + QStringLiteral(" failed: ") +
                      failureText(e, e.TargetException));
    } catch (const script::provider::ScriptFrameworkErrorException &e) {
        throw Failure(QStringLiteral("The macro ") + macro + QStringLiteral(" failed: ") +
                      failureText(e));
    }
}
