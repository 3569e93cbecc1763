#include "NameCheck.h"

#include "Diagnostics.h"
#include "StandardLibrary.h"

#include <algorithm>
#include <optional>

namespace k5cmp {

namespace {

// A member as a function block declares it, standard or the project's own.
struct MemberInfo {
    std::string type;
    std::uint32_t dim = 0;
    bool input = false;
    bool output = false;
};

class Checker {
public:
    Checker(const ProjectModel &project, const Program &program)
        : m_project(project), m_program(program)
    {
    }

    void check(const NameUse &use)
    {
        const PathPart &first = use.path.front();
        if (const Variable *variable = findVariable(first.name))
            return checkVariableUse(use, *variable);
        if (m_project.defines.contains(first.name))
            return checkConstantUse(use);
        if (use.kind == NameUse::Kind::Call)
            return checkCallOfName(use);
        report(use.line, whatItIs(first.name));
    }

    std::vector<Problem> take()
    {
        std::stable_sort(m_problems.begin(), m_problems.end(),
                         [](const Problem &a, const Problem &b) { return a.line < b.line; });
        if (m_problems.size() > kMaxProblemsPerProgram) {
            m_problems.resize(kMaxProblemsPerProgram);
            m_problems.push_back(Problem{m_problems.back().line, tooManyProblems()});
        }
        return std::move(m_problems);
    }

private:
    void report(int line, std::string text)
    {
        m_problems.push_back(Problem{line, std::move(text)});
    }

    const Variable *findVariable(const std::string &name) const
    {
        if (const Variable *v = m_program.locals.find(name))
            return v;
        if (const Variable *v = m_project.globals.find(name))
            return v;
        return m_project.retains.find(name);
    }

    // The project's function block program of that type name, if any.
    const Program *userBlock(const std::string &type) const
    {
        const Program *p = m_project.findProgram(type);
        return p && p->section == kSectionBlock ? p : nullptr;
    }
    bool isBlockType(const std::string &type) const
    {
        return standardBlockMembers(type) != nullptr || userBlock(type) != nullptr;
    }

    std::optional<MemberInfo> member(const std::string &type, const std::string &name) const
    {
        if (const auto *members = standardBlockMembers(type)) {
            const std::string folded = foldedName(name);
            for (const BlockMember &m : *members) {
                if (folded == m.name)
                    return MemberInfo{m.type, 0, m.input, m.output};
            }
            return std::nullopt;
        }
        if (const Program *block = userBlock(type)) {
            if (const Variable *v = block->locals.find(name))
                return MemberInfo{v->type, v->dim, (v->flags & kVarInput) != 0,
                                  (v->flags & kVarOutput) != 0};
        }
        return std::nullopt;
    }

    // a.b[i].c: every part after the first must be a member of the block before it, and only
    // arrays take an index.
    void checkVariableUse(const NameUse &use, const Variable &variable)
    {
        if (use.kind == NameUse::Kind::Call) {
            if (use.path.front().indexed && variable.dim == 0)
                return report(use.line, notAnArray(use.path.front().name));
            if (use.path.size() == 1 && isBlockType(variable.type))
                return checkFormals(use, variable.type);
            return report(use.line, notCallable(use.path.front().name));
        }
        std::string owner = use.path.front().name;
        std::string type = variable.type;
        std::uint32_t dim = variable.dim;
        for (std::size_t i = 0; i < use.path.size(); ++i) {
            const PathPart &part = use.path[i];
            if (part.indexed && dim == 0)
                return report(use.line, notAnArray(part.name));
            if (i + 1 == use.path.size())
                break;
            const std::string &next = use.path[i + 1].name;
            if (!isBlockType(type))
                return report(use.line, hasNoMembers(owner, type));
            const auto found = member(type, next);
            if (!found)
                return report(use.line, noSuchMember(owner, type, next));
            owner = next;
            type = found->type;
            dim = found->dim;
        }
    }

    void checkFormals(const NameUse &call, const std::string &type)
    {
        for (const NameUse::Formal &formal : call.formals) {
            const auto found = member(type, formal.name);
            if (formal.output && !(found && found->output))
                report(formal.line, notAnOutput(formal.name, type));
            else if (!formal.output && !(found && found->input))
                report(formal.line, notAnInput(formal.name, type));
        }
    }

    void checkConstantUse(const NameUse &use)
    {
        const std::string &name = use.path.front().name;
        if (use.kind == NameUse::Kind::Call)
            report(use.line, notCallable(name));
        else if (use.kind == NameUse::Kind::Write)
            report(use.line, constantAssigned(name));
        else if (use.path.size() > 1)
            report(use.line, hasNoMembers(name, "constant"));
    }

    void checkCallOfName(const NameUse &use)
    {
        const std::string &name = use.path.front().name;
        if (use.path.size() != 1)
            return report(use.line, notCallable(name));
        if (isStandardFunction(name))
            return;
        if (isBlockType(name))
            return report(use.line, blockTypeCalled(name));
        const Program *program = m_project.findProgram(name);
        if (!program)
            return report(use.line, undeclared(name));
        if (program->section != kSectionChild)
            report(use.line, notCallable(name));
    }

    // A name read or written that is no variable: say what it is instead.
    std::string whatItIs(const std::string &name) const
    {
        if (isStandardFunction(name))
            return notAVariable(name, "a function");
        if (isBlockType(name))
            return notAVariable(name, "a function block type");
        if (m_project.findProgram(name))
            return notAVariable(name, "a program");
        return undeclared(name);
    }

    const ProjectModel &m_project;
    const Program &m_program;
    std::vector<Problem> m_problems;
};

} // namespace

std::vector<Problem> checkNames(const ProjectModel &project, const Program &program,
                                const std::vector<NameUse> &uses)
{
    Checker checker(project, program);
    for (const NameUse &use : uses)
        checker.check(use);
    return checker.take();
}

} // namespace k5cmp
