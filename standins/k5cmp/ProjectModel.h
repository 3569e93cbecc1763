#pragma once

#include "Names.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace k5cmp {

struct Variable {
    std::string name; // as declared
    std::string type; // the type's name as the project database spells it
    std::uint32_t dim = 0;
    std::uint32_t stringLength = 0;
    std::uint32_t flags = 0; // 8 input, 16 output, 72 in-out
    std::optional<std::string> initValue;
};

// Variables in declaration order, found by name without regard to case.
class VariableGroup {
public:
    void add(Variable variable)
    {
        m_index.emplace(foldedName(variable.name), m_variables.size());
        m_variables.push_back(std::move(variable));
    }
    const Variable *find(std::string_view name) const
    {
        const auto found = m_index.find(foldedName(name));
        return found == m_index.end() ? nullptr : &m_variables[found->second];
    }
    const std::vector<Variable> &all() const { return m_variables; }

private:
    std::vector<Variable> m_variables;
    std::unordered_map<std::string, std::size_t> m_index;
};

// Names compared without regard to case, whatever case they are added in.
class NameSet {
public:
    void insert(std::string_view name) { m_names.insert(foldedName(name)); }
    bool contains(std::string_view name) const { return m_names.count(foldedName(name)) != 0; }

private:
    std::unordered_set<std::string> m_names;
};

// Program sections, as the project database codes them.
enum Section : std::uint32_t {
    kSectionBegin = 1,
    kSectionSfc = 2,
    kSectionEnd = 4,
    kSectionChild = 8,
    kSectionBlock = 16, // a user-defined function block
};
constexpr std::uint32_t kLanguageSt = 2;
constexpr std::uint32_t kVarInput = 8;
constexpr std::uint32_t kVarOutput = 16;

struct Program {
    std::string name;
    std::uint32_t language = kLanguageSt;
    std::uint32_t section = kSectionBegin;
    std::uint32_t period = 1;
    std::uint32_t phase = 0;
    std::uint32_t onCall = 0;
    std::filesystem::path source;
    VariableGroup locals; // the program's own group; a function block's members
};

// What the compiler knows of a project: its programs in execution order, the global and
// retained variables, and the names the defines file declares.
struct ProjectModel {
    std::string name;
    VariableGroup globals;
    VariableGroup retains;
    std::vector<Program> programs; // filled through addProgram
    NameSet defines;

    void addProgram(Program program)
    {
        m_programIndex.emplace(foldedName(program.name), programs.size());
        programs.push_back(std::move(program));
    }
    const Program *findProgram(std::string_view programName) const
    {
        const auto found = m_programIndex.find(foldedName(programName));
        return found == m_programIndex.end() ? nullptr : &programs[found->second];
    }

private:
    std::unordered_map<std::string, std::size_t> m_programIndex;
};

} // namespace k5cmp
