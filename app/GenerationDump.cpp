#include "app/GenerationDump.h"

#include "app/JsonWriter.h"
#include "app/RunState.h"
#include "common/Failure.h"

#include <QSaveFile>

namespace {

// A log line without its time stamp "hh:mm:ss.zzz" and the two blanks after it.
constexpr qsizetype kTimeStampLength = 14;

void writeStratonInfo(JsonWriter &w, const StratonRecord &s)
{
    w.beginObject();
    w.key("FileName"), w.value(s.FileName);
    w.key("SectionName"), w.value(s.SectionName);
    w.key("FolderName"), w.value(s.FolderName);
    w.key("Description"), w.value(s.Description);
    w.key("iSection"), w.value(qint64(s.iSection));
    w.key("SubProgram"), w.value(s.SubProgram);
    w.key("StructureType"), w.value(s.StructureType);
    w.key("ScanPeriod"), w.value(qint64(s.ScanPeriod));
    w.key("ScanPhase"), w.value(qint64(s.ScanPhase));
    w.key("Enabled"), w.value(s.Enabled);
    w.key("Overwrite"), w.value(s.Overwrite);
    w.key("UseMainVar"), w.value(s.UseMainVar);
    w.key("MaxIO"), w.value(qint64(s.MaxIO));
    w.endObject();
}

void writeDescriptor(JsonWriter &w, const TCodeTab &d)
{
    w.beginObject();
    w.key("name"), w.value(d.name);
    w.key("StratonInfo"), writeStratonInfo(w, d.StratonInfo);
    w.key("reCode"), w.stringArray(d.reCode);
    w.key("reGloVar"), w.stringArray(d.reGloVar);
    w.key("reRetainVar"), w.stringArray(d.reRetainVar);
    w.key("reLocVar"), w.stringArray(d.reLocVar);
    w.key("IncludeFB"), w.stringArray(d.IncludeFB);
    w.key("DeleteFolderName");
    w.beginArray();
    for (const FolderToDelete &f : d.DeleteFolderName) {
        w.beginObject();
        w.key("name"), w.value(f.name);
        w.key("recursive"), w.value(f.recursive);
        w.endObject();
    }
    w.endArray();
    w.key("MainIncludeOptions"), w.stringArray(d.MainIncludeOptions);
    QStringList inputs;
    for (qsizetype i = 0; i < d.InputVariables.size(); ++i)
        inputs << userInputEntryText(d.InputVariables, i);
    w.key("InputVariables"), w.stringArray(inputs);
    w.endObject();
}

void writeTextFiles(JsonWriter &w, const TCodeTab *main)
{
    w.beginArray();
    if (main) {
        for (const TTextFiles::Entry &e : main->TextFiles.entries()) {
            w.beginObject();
            w.key("name"), w.value(e.name);
            w.key("overwrite"), w.value(e.item.Overwrite);
            w.key("lines"), w.stringArray(e.item.RE);
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
    w.key("ok"), w.value(input.ok);
    QStringList log;
    for (const QString &line : input.logLines)
        log << line.mid(kTimeStampLength);
    w.key("log"), w.stringArray(log);
    w.key("messageBoxes"), w.stringArray(input.messageBoxes);
    w.key("ProjectName"), w.value(state.ProjectName);
    w.key("IpAddress"), w.value(state.IpAddress);
    const TXmlGeneratorOptions &o = state.XmlGeneratorOptions;
    w.key("XmlGeneratorOptions");
    w.beginObject();
    w.key("KeepGeneratedVars"), w.value(o.KeepGeneratedVars);
    w.key("DisableVarIndicationCreatedByGenerator"), w.value(o.DisableVarIndicationCreatedByGenerator);
    w.key("GenerateMultiTaskApp"), w.value(o.GenerateMultiTaskApp);
    w.endObject();
    w.key("DisableRecreateVarError"), w.value(state.Template.DisableRecreateVarError);
    w.key("SignalLines"), w.stringArray(state.SignalSheet.lines);
    w.key("GlobalDefines"), w.stringArray(state.Template.GlobalDefines);
    w.key("StratonProjectOptions"), w.stringArray(state.Template.StratonProjectOptions);
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
    w.key("MainTextFiles"), writeTextFiles(w, state.MainProgram);
    w.endObject();
    QByteArray bytes = w.bytes();
    bytes += '\n';
    return bytes;
}

void writeGenerationDump(const QString &path, const QByteArray &dump)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(dump) != dump.size() || !file.commit())
        throw Failure(path + QStringLiteral(": cannot write the dump (") + file.errorString() + u')');
}
