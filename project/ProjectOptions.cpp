#include "project/ProjectOptions.h"

#include "common/Failure.h"
#include "common/IniDocument.h"
#include "common/ProjectFiles.h"
#include "common/ProjectTextFile.h"
#include "common/RunLog.h"
#include "common/Windows1252.h"
#include "project/ProjectContext.h"
#include "project/ProjectPath.h"
#include "template/TemplateModel.h"
#include "workbook/GeneratorOptions.h"


namespace {

const QByteArray kSection = QByteArrayLiteral("OPTIONS");
const QString kBlockMarker = QStringLiteral("AddedByConfigurator");
// A template option's value is cut to this many characters.
constexpr qsizetype kMaxOptionValue = 255;

struct FixedOption {
    const char *key;
    const char *logText;
    bool BuildSettings::*setting; // null: always written
};

const FixedOption kFixedOptions[] = {
    {"CTSEG", " - Store complex variables in a separate segment", nullptr},
    {"LARGEJUMP", " - Allow large jump instructions", nullptr},
    {"DEBUG", " - Debug code generation", &BuildSettings::DebugGen},
    {"VSI", " - Allocate status flags for variables with embedded properties",
     &BuildSettings::ForceVSI},
    {"EMBEDSYMBOLS", " - Embed symbols of all variables", &BuildSettings::EmbedSymb},
};

QByteArray readFileOrEmpty(const ProjectFiles &files, const QString &path)
{
    return files.exists(path) ? files.read(path) : QByteArray();
}

// appli.CPO, with the options set one after the other and the file replaced once at the end:
// after a crash or a failed write it holds either all of the old options or all of the new.
class OptionsFile {
public:
    OptionsFile(ProjectFiles &files, QString path) : m_files(files), m_path(std::move(path))
    {
        m_ini = IniDocument::parse(readFileOrEmpty(m_files, m_path));
    }
    void set(const QString &key, const QString &value)
    {
        m_ini.setValue(kSection, toWindows1252(key), toWindows1252(value));
    }
    void save() const { m_files.write(m_path, m_ini.toBytes()); }

private:
    ProjectFiles &m_files;
    QString m_path;
    IniDocument m_ini;
};

} // namespace

void WriteProjectOptions(ProjectContext &c, const QString &ProjectFolder)
{
    c.log.LogLine(QStringLiteral("Following Straton Project Options are Enabled:"));
    OptionsFile file(c.projectFiles(), projectFile(ProjectFolder, QStringLiteral("appli.CPO")));
    for (const FixedOption &option : kFixedOptions) {
        if (option.setting && !(c.settings.*option.setting))
            continue;
        file.set(QLatin1String(option.key), QStringLiteral("ON"));
        c.log.LogLine(QLatin1String(option.logText));
    }
    for (const QString &entry : c.state.Template.StratonProjectOptions) {
        const qsizetype equals = entry.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = entry.left(equals);
        const QString value = entry.mid(equals + 1, kMaxOptionValue);
        c.log.LogLine(QStringLiteral(" - Straton Project Options: ") + key + u'=' + value);
        file.set(key, value);
    }
    file.save();
}

void UpdateEqvFile(const QString &ProjectFolder, const QStringList &GlobalDefines,
                   ProjectFiles &files)
{
    if (GlobalDefines.isEmpty())
        return;
    const QString path = projectFile(ProjectFolder, QStringLiteral("appli.EQV"));
    const QStringList old = files.exists(path) ? projectTextLines(files.read(path)) : QStringList();
    QStringList lines;
    bool inside = false;
    for (const QString &line : old) {
        if (line.contains(kBlockMarker))
            inside = !inside;
        else if (!inside)
            lines.append(line);
    }
    lines.append(QStringLiteral("// ++ AddedByConfigurator"));
    lines.append(GlobalDefines);
    lines.append(QStringLiteral("// -- AddedByConfigurator"));
    files.write(path, projectFileBytes(lines));
}
