// Times the stand-in project database under a generator's load: N global variables created
// with comments, properties and initial values, then read back one by one as an unchanged
// second generation does, then deleted by their marker and created again as a generation
// without KeepGeneratedVars does. Prints the time of each phase for each N.
//   bench_k5db_store [FOLDER]   (default: a folder in the temporary folder)

#include "interfaces/K5dbApi.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Session {
    uint32_t client = 0;
    uint32_t project = 0;
    uint32_t global = 0;
};

void createVariables(const Session &s, int count)
{
    K5DB_LockGroup(s.client, s.project, s.global);
    for (int i = 0; i < count; ++i) {
        const std::string name = "Signal_" + std::to_string(i);
        K5DB_FindVarInGroup(s.client, s.project, s.global, name.c_str());
        const uint32_t type = K5DB_FindType(s.client, s.project, i % 3 ? "BOOL" : "INT");
        const uint32_t var = K5DB_CreateVar(s.client, s.project, s.global, K5DB_POS_APPEND, type, 0,
                                            0, 0, name.c_str());
        K5DB_SetComment(s.client, s.project, var, 1, ("TAG-" + std::to_string(i)).c_str());
        K5DB_SetComment(s.client, s.project, var, 2, "Breaker position  !CrByGen!");
        K5DB_SetVarInitValue(s.client, s.project, s.global, var, i % 3 ? "FALSE" : "0");
        K5DB_SetProperty(s.client, s.project, var, 2, "P1");
        K5DB_SetProperty(s.client, s.project, var, 1, "addr=1 kind=DI");
    }
    K5DB_UnlockGroup(s.client, s.project, s.global);
}

void readVariables(const Session &s, int count)
{
    char buffer[2049];
    K5DB_LockGroup(s.client, s.project, s.global);
    for (int i = 0; i < count; ++i) {
        const std::string name = "Signal_" + std::to_string(i);
        const uint32_t var = K5DB_FindVarInGroup(s.client, s.project, s.global, name.c_str());
        uint32_t type = 0, dim = 0, length = 0, flags = 0;
        K5DB_GetVarDesc(s.client, s.project, s.global, var, &type, &dim, &length, &flags);
        K5DB_GetTypeDesc(s.client, s.project, type, nullptr);
        K5DB_GetProperty(s.client, s.project, var, 2);
        K5DB_GetProperty(s.client, s.project, var, 1);
        K5DB_GetVarInitValue(s.client, s.project, s.global, var, nullptr);
        for (const uint32_t kind : {1u, 2u}) {
            K5DB_GetCommentLength(s.client, s.project, var, kind);
            K5DB_GetComment(s.client, s.project, var, kind, buffer, sizeof buffer);
        }
    }
    K5DB_UnlockGroup(s.client, s.project, s.global);
}

void deleteMarked(const Session &s)
{
    char buffer[2049];
    K5DB_LockGroup(s.client, s.project, s.global);
    std::vector<uint32_t> vars(K5DB_GetNbVar(s.client, s.project, s.global));
    vars.resize(K5DB_GetVars(s.client, s.project, s.global, vars.data()));
    for (const uint32_t var : vars) {
        K5DB_GetCommentLength(s.client, s.project, var, 2);
        K5DB_GetComment(s.client, s.project, var, 2, buffer, sizeof buffer);
        if (std::strstr(buffer, "!CrByGen!"))
            K5DB_DeleteVar(s.client, s.project, s.global, var);
    }
    K5DB_UnlockGroup(s.client, s.project, s.global);
}

Session open(const std::string &path)
{
    Session s;
    s.client = K5DB_Connect(nullptr, 0, 0, 0, "bench");
    s.project = K5DB_OpenProject(s.client, path.c_str());
    s.global = K5DB_FindGroup(s.client, s.project, "(Global)");
    return s;
}

void close(const Session &s)
{
    K5DB_SaveProject(s.client, s.project);
    K5DB_CloseProject(s.client, s.project);
    K5DB_Disconnect(s.client);
}

} // namespace

int main(int argc, char **argv)
{
    const std::filesystem::path base =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() / "tessily-k5db-bench";
    std::printf("%8s %12s %12s %16s\n", "vars", "create+save", "read back", "delete+recreate");
    for (const int count : {10000, 40000, 80000}) {
        const std::string path = (base / std::to_string(count)).string();
        std::filesystem::remove_all(path);
        const uint32_t client = K5DB_Connect(nullptr, 0, 0, 0, "bench");
        if (K5DB_CreateProject(client, path.c_str()) != K5DB_OK) {
            std::fprintf(stderr, "%s: the project cannot be created\n", path.c_str());
            return 1;
        }
        K5DB_Disconnect(client);

        auto start = Clock::now();
        Session s = open(path);
        createVariables(s, count);
        close(s);
        const double create = secondsSince(start);

        start = Clock::now();
        s = open(path);
        readVariables(s, count);
        close(s);
        const double read = secondsSince(start);

        start = Clock::now();
        s = open(path);
        deleteMarked(s);
        createVariables(s, count);
        close(s);
        const double recreate = secondsSince(start);
        std::printf("%8d %11.2fs %11.2fs %15.2fs\n", count, create, read, recreate);
        std::filesystem::remove_all(path);
    }
    return 0;
}
