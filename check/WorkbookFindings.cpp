#include "check/WorkbookFindings.h"

namespace WorkbookFinding {

Finding unreadable(const QString &message)
{
    return {Severity::Error, message};
}

Finding templateMissing(const QString &asWritten, const QString &resolved)
{
    return {Severity::Error, QStringLiteral("the template \"%1\" named in B2 does not exist "
                                            "(looked for %2)")
                                 .arg(asWritten, resolved)};
}

Finding otherTemplate(const QString &asWritten)
{
    return {Severity::Warning, QStringLiteral("B2 names another template, \"%1\"; a run reads "
                                              "that one")
                                   .arg(asWritten)};
}

Finding versionMismatch(const QString &cell, const QString &version)
{
    return {Severity::Error, QStringLiteral("version \"%1\" does not match the template's "
                                            "version \"%2\"; a run stops here")
                                 .arg(cell, version)};
}

Finding undefinedSignalType(const QString &type)
{
    return {Severity::Error, QStringLiteral("signal type \"%1\" is not defined in the template; "
                                            "a run skips this row")
                                 .arg(type)};
}

Finding valueRejected(const QString &value, const QString &reason, const QString &fallback)
{
    return {Severity::Error, QStringLiteral("value \"%1\" is not accepted: %2; a run uses the "
                                            "default \"%3\"")
                                 .arg(value, reason, fallback)};
}

Finding undefinedMainProgram(const QString &type)
{
    return {Severity::Error, QStringLiteral("main program type \"%1\" is not defined in the "
                                            "template's MainCode; a run stops here")
                                 .arg(type)};
}

Finding signalSheetUnreadable(const QString &message)
{
    return {Severity::Error,
            QStringLiteral("the signal sheet cannot be read: %1; a run stops here").arg(message)};
}

} // namespace WorkbookFinding
