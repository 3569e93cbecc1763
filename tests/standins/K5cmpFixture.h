#pragma once

#include "K5dbFixture.h"
#include "interfaces/K5CmpApi.h"

#include <string>
#include <vector>

struct BuildRun {
    int result = -1;
    std::vector<std::string> messages;
};

// Runs the compiler on a folder and collects its messages.
inline BuildRun buildFolder(const char *folder)
{
    BuildRun run;
    const K5CmpSink sink{&run.messages, [](void *context, const char *line) {
                             static_cast<std::vector<std::string> *>(context)->push_back(line);
                         }};
    run.result = K5CmpBuildDefault(folder, &sink);
    return run;
}

// A saved project to compile: programs with sources, written with CR LF as the generator
// writes them, and variables in their groups.
class K5cmpProject : public K5dbProject {
protected:
    uint32_t addProgram(const char *name, const std::string &source,
                        uint32_t section = K5DB_SECTION_BEGIN)
    {
        const uint32_t handle = program(name, 0, section);
        writeSource(handle, source);
        return handle;
    }
    // Lines end with CR LF whatever `source` uses.
    void writeSource(uint32_t hProgram, const std::string &source)
    {
        char file[K5DB_PATH_BUFFER] = {};
        ASSERT_EQ(K5DB_GetProgramPath(client, project, hProgram, file), K5DB_OK);
        std::string bytes;
        for (const char c : source) {
            if (c == '\n')
                bytes += '\r';
            bytes += c;
        }
        QFile out(QString::fromLocal8Bit(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.data(), qint64(bytes.size()));
    }
    uint32_t declare(const char *groupName, const char *name, const char *typeName,
                     uint32_t dim = 0, uint32_t flags = 0)
    {
        return K5DB_CreateVar(client, project, group(groupName), K5DB_POS_APPEND, type(typeName),
                              dim, 0, flags, name);
    }
    // Saves the project, then compiles it while this client keeps it open.
    BuildRun build()
    {
        EXPECT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
        return buildFolder(path.c_str());
    }
    QString applicationFile() const { return folder + QStringLiteral("/APPLI.XTI"); }
};
