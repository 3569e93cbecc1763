#include "TreeExport.h"

#include "Project.h"
#include "ProjectFile.h"

#include <string>

namespace k5db {

namespace {

std::string xmlText(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void appendPrograms(Project &project, std::uint32_t hFolder, const std::string &indent,
                    std::string &out)
{
    for (const std::uint32_t handle : project.programs.inFolder(hFolder)) {
        const auto program = project.programs.record(handle);
        if (!program)
            continue;
        out += indent + "<program name=\"" + xmlText(program->name) + "\" language=\"" +
               std::to_string(program->language) + "\" section=\"" +
               std::to_string(program->section) + "\" source=\"" +
               xmlText(project.sourcePath(*program).filename().string()) + "\"/>\n";
    }
}

void appendFolder(Project &project, std::uint32_t hFolder, int depth, std::string &out)
{
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out +=
        indent + "<folder name=\"" + xmlText(project.folders.name(hFolder).value_or("")) + "\">\n";
    if (depth < kMaxFolderDepth) {
        for (const std::uint32_t child : project.folders.children(hFolder))
            appendFolder(project, child, depth + 1, out);
    }
    appendPrograms(project, hFolder, indent + "  ", out);
    out += indent + "</folder>\n";
}

} // namespace

void writeTreeExport(Project &project, const std::filesystem::path &file)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<project name=\"" +
                      xmlText(project.info().name) + "\">\n";
    for (const std::uint32_t top : project.folders.children(0))
        appendFolder(project, top, 1, out);
    appendPrograms(project, 0, "  ", out);
    out += "</project>\n";
    writeFileAtomically(file, out);
}

} // namespace k5db
