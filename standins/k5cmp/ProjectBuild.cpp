#include "ProjectBuild.h"

#include "Diagnostics.h"
#include "NameCheck.h"
#include "Parser.h"
#include "ProjectReader.h"
#include "Text.h"
#include "XtiWriter.h"

#include <exception>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace k5cmp {

namespace {

class Build {
public:
    Build(const fs::path &folder, const MessageSink &sink) : m_folder(folder), m_sink(sink) {}

    bool run()
    {
        std::optional<ProjectModel> project;
        try {
            project.emplace(readProject(m_folder));
        } catch (const std::exception &e) {
            projectProblem(projectUnreadable(e.what()));
            return fail();
        }
        std::vector<CompiledProgram> compiled;
        for (const Program &program : project->programs)
            compiled.push_back(compile(*project, program));
        if (m_failed)
            return fail();
        try {
            writeApplication(m_folder, applicationText(*project, compiled));
        } catch (const std::exception &e) {
            projectProblem(applicationNotWritten(e.what()));
            return fail();
        }
        return true;
    }

private:
    CompiledProgram compile(const ProjectModel &project, const Program &program)
    {
        CompiledProgram result{&program, 0, 0};
        if (program.language != kLanguageSt) {
            report(program, 0, languageNotSupported(program.language));
            return result;
        }
        const std::optional<std::string> source = readSource(program);
        if (!source)
            return result;
        result.sourceCrc = crc32(*source);
        const ParseResult parsed = parseProgram(*source);
        result.statements = parsed.statements;
        if (parsed.syntaxError) {
            report(program, parsed.syntaxError->line, parsed.syntaxError->text);
            return result;
        }
        for (const Problem &problem : checkNames(project, program, parsed.uses))
            report(program, problem.line, problem.text);
        return result;
    }

    std::optional<std::string> readSource(const Program &program)
    {
        const std::string file = k5db::ansiFromUtf8(program.source.filename().string());
        std::error_code error;
        const std::uintmax_t size = fs::file_size(program.source, error);
        if (error) {
            report(program, 0, sourceUnreadable(file));
            return std::nullopt;
        }
        if (size > kMaxSourceBytes) {
            report(program, 0, sourceTooLarge(file, static_cast<long long>(kMaxSourceBytes)));
            return std::nullopt;
        }
        std::ifstream in(program.source, std::ios::binary);
        std::string bytes(static_cast<std::size_t>(size), '\0');
        if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(size))) {
            report(program, 0, sourceUnreadable(file));
            return std::nullopt;
        }
        return bytes;
    }

    void report(const Program &program, int line, const std::string &text)
    {
        m_failed = true;
        m_sink(k5db::ansiFromUtf8(program.name) + '(' + std::to_string(line) + "): " + text);
    }
    void projectProblem(const std::string &text)
    {
        m_failed = true;
        m_sink(k5db::ansiFromUtf8(m_folder.filename().string() + "(0): " + text));
    }

    bool fail()
    {
        std::error_code ignored; // nothing to remove is as good as removed
        fs::remove(m_folder / kApplicationFileName, ignored);
        return false;
    }

    fs::path m_folder;
    const MessageSink &m_sink;
    bool m_failed = false;
};

} // namespace

bool buildProject(const fs::path &folder, const MessageSink &sink)
{
    return Build(folder, sink).run();
}

} // namespace k5cmp
