#include "ProjectDump.h"

#include "Project.h"
#include "TreeExport.h"
#include "interfaces/K5dbApi.h"

#include <cstdio>
#include <filesystem>

namespace k5db {

namespace {

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + '"';
}

std::string sectionText(std::uint32_t section)
{
    struct Name {
        std::uint32_t code;
        const char *text;
    };
    static constexpr Name kNames[] = {{K5DB_SECTION_BEGIN, "begin"},
                                      {K5DB_SECTION_SFC, "sfc"},
                                      {K5DB_SECTION_END, "end"},
                                      {K5DB_SECTION_CHILD, "child"},
                                      {K5DB_SECTION_UDFB, "udfb"}};
    for (const Name &n : kNames) {
        if (n.code == section)
            return std::to_string(section) + '(' + n.text + ')';
    }
    return std::to_string(section);
}

std::string flagsText(std::uint32_t flags)
{
    if ((flags & K5DB_VAR_INOUT) == K5DB_VAR_INOUT)
        return std::to_string(flags) + "(INOUT)";
    if (flags & K5DB_VAR_IN)
        return std::to_string(flags) + "(IN)";
    if (flags & K5DB_VAR_OUT)
        return std::to_string(flags) + "(OUT)";
    return std::to_string(flags);
}

void appendNotes(Project &project, std::uint32_t object, const std::string &indent,
                 std::string &out)
{
    for (const auto &[kind, text] : project.notes.comments(object))
        out += indent + "comment " + std::to_string(kind) + ' ' + quoted(text) + '\n';
    for (const auto &[prop, value] : project.notes.properties(object))
        out += indent + "property " + std::to_string(prop) + ' ' + quoted(value) + '\n';
}

void appendPrograms(Project &project, std::uint32_t hFolder, const std::string &indent,
                    std::string &out)
{
    for (const std::uint32_t handle : project.programs.inFolder(hFolder)) {
        const auto p = project.programs.record(handle);
        if (!p)
            continue;
        const auto parent = p->parentProgram ? project.programs.record(p->parentProgram)
                                             : std::optional<ProgramRecord>();
        const std::filesystem::path source = project.sourcePath(*p);
        std::error_code error;
        out += indent + "program " + p->name + " section=" + sectionText(p->section) +
               " language=" + std::to_string(p->language) + " period=" + std::to_string(p->period) +
               " phase=" + std::to_string(p->phase) + " oncall=" + std::to_string(p->onCall) +
               " flags=" + std::to_string(p->flags) +
               " parent=" + (parent ? parent->name : std::string("-")) +
               " source=" + quoted(source.filename().string()) +
               (std::filesystem::exists(source, error) ? "" : " (no file)") + '\n';
        appendNotes(project, handle, indent + "  ", out);
    }
}

void appendFolder(Project &project, std::uint32_t hFolder, int depth, std::string &out)
{
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out += indent + "folder " + quoted(project.folders.name(hFolder).value_or("")) + '\n';
    if (depth < kMaxFolderDepth) {
        for (const std::uint32_t child : project.folders.children(hFolder))
            appendFolder(project, child, depth + 1, out);
    }
    appendPrograms(project, hFolder, indent + "  ", out);
}

void appendGroups(Project &project, std::string &out)
{
    for (const GroupRecord &group : project.variables.groups()) {
        out += "group " + group.name + '\n';
        for (const VariableRecord &v : project.variables.records(group.handle)) {
            out += "  var " + v.name + ' ' + v.type + " dim=" + std::to_string(v.dim) +
                   " len=" + std::to_string(v.stringLength) + " flags=" + flagsText(v.flags) +
                   " init=" + (v.initValue ? quoted(*v.initValue) : std::string("-")) + '\n';
            appendNotes(project, v.handle, "    ", out);
        }
    }
}

} // namespace

std::string dumpProject(Project &project)
{
    std::string out = "project " + quoted(project.info().name) + '\n';
    for (const std::uint32_t top : project.folders.children(0))
        appendFolder(project, top, 0, out);
    appendPrograms(project, 0, "", out);
    appendGroups(project, out);
    return out;
}

} // namespace k5db
