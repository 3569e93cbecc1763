#include "ProjectReader.h"

#include "LockTable.h"
#include "Project.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace k5cmp {

namespace {

// A defines file is a few hundred lines; reading stops here whatever the file holds.
constexpr std::streamsize kMaxDefinesBytes = 4 * 1024 * 1024;

int sectionRank(std::uint32_t section)
{
    static constexpr std::uint32_t kOrder[] = {kSectionBegin, kSectionSfc, kSectionEnd,
                                               kSectionChild, kSectionBlock};
    const auto found = std::find(std::begin(kOrder), std::end(kOrder), section);
    return static_cast<int>(found - std::begin(kOrder));
}

VariableGroup readGroup(k5db::Project &project, std::uint32_t hGroup)
{
    VariableGroup group;
    for (const k5db::VariableRecord &record : project.variables.records(hGroup)) {
        group.add(Variable{record.name, record.type, record.dim, record.stringLength, record.flags,
                           record.initValue});
    }
    return group;
}

VariableGroup readNamedGroup(k5db::Project &project, const char *name)
{
    const std::uint32_t hGroup = project.variables.findGroup(name);
    return hGroup ? readGroup(project, hGroup) : VariableGroup();
}

void readDefinesFile(const fs::path &file, ProjectModel &model)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return; // a project without defines
    std::string text(static_cast<std::size_t>(kMaxDefinesBytes), '\0');
    in.read(text.data(), kMaxDefinesBytes);
    text.resize(static_cast<std::size_t>(in.gcount()));
    readDefines(text, model);
}

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

void readDefines(std::string_view text, ProjectModel &model)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line.substr(first, 7) != "#define")
            continue;
        line.remove_prefix(first + 7);
        const std::size_t nameStart = line.find_first_not_of(" \t");
        if (nameStart == std::string_view::npos || nameStart == 0)
            continue;
        std::size_t nameEnd = nameStart;
        while (nameEnd < line.size() && isNameChar(line[nameEnd]))
            ++nameEnd;
        if (nameEnd > nameStart)
            model.defines.insert(line.substr(nameStart, nameEnd - nameStart));
    }
}

ProjectModel readProject(const fs::path &folder)
{
    k5db::Project project(folder, k5db::LockOwner::forClient(0, "K5CMP"), true);
    ProjectModel model;
    model.name = project.info().name;
    model.globals = readNamedGroup(project, "(Global)");
    model.retains = readNamedGroup(project, "(Retain)");

    std::vector<k5db::ProgramRecord> records = project.programs.all(); // by name
    std::stable_sort(records.begin(), records.end(), [](const auto &a, const auto &b) {
        return sectionRank(a.section) < sectionRank(b.section);
    });
    for (const k5db::ProgramRecord &record : records) {
        Program program;
        program.name = record.name;
        program.language = record.language;
        program.section = record.section;
        program.period = record.period;
        program.phase = record.phase;
        program.onCall = record.onCall;
        program.source = project.sourcePath(record);
        program.locals = readGroup(project, record.group);
        model.addProgram(std::move(program));
    }
    readDefinesFile(folder / kDefinesFileName, model);
    return model;
}

} // namespace k5cmp
