#include "run/ChangePlanJson.h"

#include "run/JsonWriter.h"

namespace {

void writeSummary(JsonWriter &w, const PlanSummary &s)
{
    struct Count {
        const char *key;
        int PlanSummary::*count;
    };
    static const Count kCounts[] = {
        {"programsCreated", &PlanSummary::programsCreated},
        {"programsReplaced", &PlanSummary::programsReplaced},
        {"programsDeleted", &PlanSummary::programsDeleted},
        {"programsUnchanged", &PlanSummary::programsUnchanged},
        {"programsKept", &PlanSummary::programsKept},
        {"programsSkipped", &PlanSummary::programsSkipped},
        {"variablesAdded", &PlanSummary::variablesAdded},
        {"variablesRemoved", &PlanSummary::variablesRemoved},
        {"variablesUpdated", &PlanSummary::variablesUpdated},
        {"variablesRecreated", &PlanSummary::variablesRecreated},
        {"variablesMarked", &PlanSummary::variablesMarked},
        {"groupsSkipped", &PlanSummary::groupsSkipped},
        {"foldersCreated", &PlanSummary::foldersCreated},
        {"foldersDeleted", &PlanSummary::foldersDeleted},
        {"filesCreated", &PlanSummary::filesCreated},
        {"filesChanged", &PlanSummary::filesChanged},
        {"filesUnchanged", &PlanSummary::filesUnchanged},
        {"filesLeft", &PlanSummary::filesLeft},
    };
    w.beginObject();
    for (const Count &c : kCounts)
        w.field(QLatin1String(c.key), qint64(s.*c.count));
    w.endObject();
}

void writeProgram(JsonWriter &w, const ProgramChange &p)
{
    w.beginObject();
    w.field("name", p.name);
    w.field("folder", p.folder);
    w.field("action", p.action);
    w.field("details", p.details);
    w.field("diff", p.diff);
    w.endObject();
}

void writeGroup(JsonWriter &w, const GroupPlan &g)
{
    w.beginObject();
    w.field("name", g.name);
    w.field("skipped", g.skipped);
    w.field("reordered", g.reordered);
    w.field("unchanged", qint64(g.unchanged));
    w.key("variables");
    w.beginArray();
    for (const VariableChange &v : g.variables) {
        w.beginObject();
        w.field("name", v.name);
        w.field("action", v.action);
        w.key("fields");
        w.beginArray();
        for (const PlanField &f : v.fields) {
            w.beginObject();
            w.field("name", f.name);
            w.field("before", f.before);
            w.field("after", f.after);
            w.endObject();
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
    w.endObject();
}

void writeFile(JsonWriter &w, const FileChange &f)
{
    w.beginObject();
    w.field("name", f.name);
    w.field("kind", f.kind);
    w.field("action", f.action);
    w.field("diff", f.diff);
    w.key("options");
    w.beginArray();
    for (const OptionChange &o : f.options) {
        w.beginObject();
        w.field("key", o.key);
        w.field("action", o.action);
        w.field("before", o.before);
        w.field("after", o.after);
        w.endObject();
    }
    w.endArray();
    w.endObject();
}

void writeProject(JsonWriter &w, const ProjectPlan &p)
{
    w.beginObject();
    w.field("folder", p.folder);
    w.field("created", p.created);
    w.field("workspace", p.workspace);
    w.key("folders");
    w.beginArray();
    for (const FolderChange &f : p.folders) {
        w.beginObject();
        w.field("path", f.path);
        w.field("action", f.action);
        w.endObject();
    }
    w.endArray();
    w.key("programs");
    w.beginArray();
    for (const ProgramChange &c : p.programs)
        writeProgram(w, c);
    w.endArray();
    w.key("groups");
    w.beginArray();
    for (const GroupPlan &g : p.groups)
        writeGroup(w, g);
    w.endArray();
    w.key("files");
    w.beginArray();
    for (const FileChange &f : p.files)
        writeFile(w, f);
    w.endArray();
    w.key("workspaceFiles");
    w.beginArray();
    for (const FileChange &f : p.workspaceFiles)
        writeFile(w, f);
    w.endArray();
    w.endObject();
}

} // namespace

QByteArray changePlanJson(const ChangePlan &plan)
{
    JsonWriter w;
    w.beginObject();
    w.field("ok", plan.ok);
    w.field("changes", plan.hasChanges());
    w.key("summary");
    writeSummary(w, plan.summary());
    w.key("projects");
    w.beginArray();
    for (const ProjectPlan &p : plan.projects)
        writeProject(w, p);
    w.endArray();
    w.endObject();
    QByteArray bytes = w.bytes();
    bytes += '\n';
    return bytes;
}
