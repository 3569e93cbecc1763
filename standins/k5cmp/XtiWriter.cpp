#include "XtiWriter.h"

#include "ProjectFile.h"

#include <array>
#include <cstdio>

namespace k5cmp {

namespace {

constexpr const char *kMagic = "K5XTI 1";

std::array<std::uint32_t, 256> crcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// Text in double quotes with \" \\ and \xNN for control characters: one value never spans
// lines or ends early whatever it holds.
std::string escapedText(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

void appendVariables(const std::string &group, const VariableGroup &variables, std::string &out,
                     std::size_t &count)
{
    for (const Variable &v : variables.all()) {
        out += "var " + escapedText(group) + ' ' + escapedText(v.name) + ' ' + v.type +
               " dim=" + std::to_string(v.dim) + " len=" + std::to_string(v.stringLength) +
               " flags=" + std::to_string(v.flags) +
               " init=" + (v.initValue ? escapedText(*v.initValue) : std::string("-")) + '\n';
        ++count;
    }
}

} // namespace

std::uint32_t crc32(std::string_view bytes)
{
    static const std::array<std::uint32_t, 256> kTable = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = kTable[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string applicationText(const ProjectModel &project,
                            const std::vector<CompiledProgram> &programs)
{
    std::string out = std::string(kMagic) + '\n';
    out += "project " + escapedText(project.name) + '\n';
    for (const CompiledProgram &compiled : programs) {
        const Program &p = *compiled.program;
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08X", unsigned(compiled.sourceCrc));
        out += "program " + escapedText(p.name) + " section=" + std::to_string(p.section) +
               " period=" + std::to_string(p.period) + " phase=" + std::to_string(p.phase) +
               " oncall=" + std::to_string(p.onCall) +
               " statements=" + std::to_string(compiled.statements) + " source=" + crc + '\n';
    }
    std::size_t variables = 0;
    appendVariables("(Global)", project.globals, out, variables);
    appendVariables("(Retain)", project.retains, out, variables);
    for (const CompiledProgram &compiled : programs)
        appendVariables(compiled.program->name, compiled.program->locals, out, variables);
    out += "end programs=" + std::to_string(programs.size()) +
           " variables=" + std::to_string(variables) + '\n';
    char checksum[32];
    std::snprintf(checksum, sizeof checksum, "crc32 %08X\n", unsigned(crc32(out)));
    return out + checksum;
}

void writeApplication(const std::filesystem::path &folder, const std::string &text)
{
    k5db::writeFileAtomically(folder / kApplicationFileName, text);
}

} // namespace k5cmp
