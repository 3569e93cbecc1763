#include "ProjectFile.h"

#include "StoreError.h"
#include "interfaces/K5dbApi.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace k5db {

namespace {

// An appli.k5p is a few lines; a bigger file is not one.
constexpr std::streamsize kMaxProjectFileBytes = 1 << 20;

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool equalsNoCase(const std::string &a, const char *b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && !b[i];
}

} // namespace

ProjectFile ProjectFile::read(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw StoreError(K5DB_ERR_FILE, file.string() + ": cannot be read");
    std::string bytes(kMaxProjectFileBytes, '\0');
    in.read(bytes.data(), kMaxProjectFileBytes);
    bytes.resize(static_cast<std::size_t>(in.gcount()));

    ProjectFile project;
    project.name = file.parent_path().filename().string();
    std::istringstream lines(bytes);
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = trimmed(line.substr(1, line.size() - 2));
            continue;
        }
        const auto equals = line.find('=');
        if (!equalsNoCase(section, "Project") || equals == std::string::npos)
            continue;
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if (equalsNoCase(key, "Name") && !value.empty())
            project.name = value;
        else if (equalsNoCase(key, "TopFolder") && !value.empty())
            project.topFolder = value;
    }
    return project;
}

void ProjectFile::write(const std::filesystem::path &file) const
{
    writeFileAtomically(file, "[Project]\r\nName=" + name + "\r\nTopFolder=" + topFolder + "\r\n");
}

void writeFileAtomically(const std::filesystem::path &file, const std::string &bytes)
{
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw StoreError(K5DB_ERR_FILE, file.string() + ": cannot be written");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw StoreError(K5DB_ERR_FILE, file.string() + ": cannot be replaced");
    }
}

} // namespace k5db
