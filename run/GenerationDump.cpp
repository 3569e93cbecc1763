#include "run/GenerationDump.h"

#include "common/Failure.h"
#include "run/JsonWriter.h"
#include "run/RunState.h"

#include <QSaveFile>

namespace {

// A log line without its time stamp "hh:mm:ss.zzz" and the two blanks after it.
constexpr qsizetype kTimeStampLength = 14;

void writeStratonInfo(JsonWriter &w, const StratonRecord &s)
{
    w.beginObject();
    w.field("FileName", s.FileName);
    w.field("SectionName", s.SectionName);
    w.field("FolderName", s.FolderName);
    w.field("Description", s.Description);
    w.field("iSection", qint64(s.iSection));
    w.field("SubProgram", s.SubProgram);
    w.field("StructureType", s.StructureType);
    w.field("ScanPeriod", qint64(s.ScanPeriod));
    w.field("ScanPhase", qint64(s.ScanPhase));
    w.field("Enabled", s.Enabled);
    w.field("Overwrite", s.Overwrite);
    w.field("UseMainVar", s.UseMainVar);
    w.field("MaxIO", qint64(s.MaxIO));
    w.endObject();
}

void writeDescriptor(JsonWriter &w, const TCodeTab &d)
{
    w.beginObject();
    w.field("name", d.name);
    w.key("StratonInfo");
    writeStratonInfo(w, d.StratonInfo);
    w.field("reCode", d.reCode);
    w.field("reGloVar", d.reGloVar);
    w.field("reRetainVar", d.reRetainVar);
    w.field("reLocVar", d.reLocVar);
    w.field("IncludeFB", d.IncludeFB);
    w.key("DeleteFolderName");
    w.beginArray();
    for (const FolderToDelete &f : d.DeleteFolderName) {
        w.beginObject();
        w.field("name", f.name);
        w.field("recursive", f.recursive);
        w.endObject();
    }
    w.endArray();
    w.field("MainIncludeOptions", d.MainIncludeOptions);
    QStringList inputs;
    for (qsizetype i = 0; i < d.InputVariables.size(); ++i)
        inputs << userInputEntryText(d.InputVariables, i);
    w.field("InputVariables", inputs);
    w.endObject();
}

void writeTextFiles(JsonWriter &w, const TCodeTab *main)
{
    w.beginArray();
    if (main) {
        for (const TTextFiles::Entry &e : main->TextFiles.entries()) {
            w.beginObject();
            w.field("name", e.name);
            w.field("overwrite", e.item.Overwrite);
            w.field("lines", e.item.RE);
            w.endObject();
        }
    }
    w.endArray();
}

} // namespace

QByteArray generationDump(const RunState &state, const DumpInput &input)
{
    JsonWriter w;
    w.beginObject();
    w.field("ok", input.ok);
    QStringList log;
    for (const QString &line : input.logLines)
        log << line.mid(kTimeStampLength);
    w.field("log", log);
    w.field("messageBoxes", input.messageBoxes);
    w.field("ProjectName", state.ProjectName);
    w.field("IpAddress", state.IpAddress);
    const TXmlGeneratorOptions &o = state.XmlGeneratorOptions;
    w.key("XmlGeneratorOptions");
    w.beginObject();
    w.field("KeepGeneratedVars", o.KeepGeneratedVars);
    w.field("DisableVarIndicationCreatedByGenerator", o.DisableVarIndicationCreatedByGenerator);
    w.field("GenerateMultiTaskApp", o.GenerateMultiTaskApp);
    w.endObject();
    w.field("DisableRecreateVarError", state.Template.DisableRecreateVarError);
    w.field("SignalLines", state.SignalSheet.lines);
    w.field("GlobalDefines", state.Template.GlobalDefines);
    w.field("StratonProjectOptions", state.Template.StratonProjectOptions);
    w.key("GenTab");
    if (state.GenTab)
        writeDescriptor(w, *state.GenTab);
    else
        w.null();
    w.key("FuncBlocks");
    w.beginArray();
    for (const auto &entry : state.Template.FuncBlocks)
        writeDescriptor(w, *entry.value);
    w.endArray();
    w.key("MainTextFiles");
    writeTextFiles(w, state.MainProgram);
    w.endObject();
    QByteArray bytes = w.bytes();
    bytes += '\n';
    return bytes;
}

void writeGenerationDump(const QString &path, const QByteArray &dump)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(dump) != dump.size() || !file.commit())
        throw Failure(path + QStringLiteral(": cannot write the dump (") + file.errorString() +
                      u')');
}
