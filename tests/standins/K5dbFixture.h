#pragma once

#include "interfaces/K5dbApi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

// Text a call returned, "<null>" for a null pointer, so a failed call reads plainly.
inline std::string k5Text(const char *text)
{
    return text ? std::string(text) : std::string("<null>");
}

inline std::string readFileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().toStdString();
}

// A client connected to a new project "Plant" in a temporary folder, open.
class K5dbProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        folder = m_dir.path() + QStringLiteral("/Plant");
        path = folder.toStdString();
        client = K5DB_Connect(nullptr, 0, 0, 0, "test");
        ASSERT_NE(client, 0u);
        ASSERT_EQ(K5DB_CreateProject(client, path.c_str()), K5DB_OK);
        project = K5DB_OpenProject(client, path.c_str());
        ASSERT_NE(project, 0u);
    }
    void TearDown() override
    {
        K5DB_CloseProject(client, project);
        K5DB_Disconnect(client);
    }

    // Saves (or not), closes and opens the project again.
    void reopen(bool save)
    {
        if (save) {
            ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
        }
        ASSERT_EQ(K5DB_CloseProject(client, project), K5DB_OK);
        project = K5DB_OpenProject(client, path.c_str());
        ASSERT_NE(project, 0u);
    }

    uint32_t topFolder() const
    {
        uint32_t top = 0;
        K5DB_GetFolders(client, project, 0, &top);
        return top;
    }
    uint32_t program(const char *name, uint32_t folder = 0, uint32_t section = 1) const
    {
        return K5DB_CreateProgramEx(client, project, 2, section, 0, name, 0, folder);
    }
    uint32_t group(const char *name) const { return K5DB_FindGroup(client, project, name); }
    uint32_t type(const char *name) const { return K5DB_FindType(client, project, name); }
    uint32_t variable(uint32_t hGroup, const char *name, const char *typeName = "BOOL",
                      uint32_t flags = 0) const
    {
        return K5DB_CreateVar(client, project, hGroup, K5DB_POS_APPEND, type(typeName), 0, 0, flags,
                              name);
    }
    std::string comment(uint32_t object, uint32_t kind) const
    {
        char buffer[2049] = {};
        K5DB_GetComment(client, project, object, kind, buffer, sizeof buffer);
        return buffer;
    }
    std::vector<std::string> varNames(uint32_t hGroup) const
    {
        std::vector<uint32_t> handles(K5DB_GetNbVar(client, project, hGroup));
        handles.resize(K5DB_GetVars(client, project, hGroup, handles.data()));
        std::vector<std::string> names;
        for (const uint32_t h : handles)
            names.push_back(k5Text(
                K5DB_GetVarDesc(client, project, hGroup, h, nullptr, nullptr, nullptr, nullptr)));
        return names;
    }

    QTemporaryDir m_dir;
    QString folder;
    std::string path;
    uint32_t client = 0;
    uint32_t project = 0;
};
