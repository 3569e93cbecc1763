#pragma once

#include "project/TK5DB.h"

#include <gtest/gtest.h>

// Another client of the project database with the project open, as the workbench would be.
struct OtherClient {
    TK5DB db;

    explicit OtherClient(const QString &project)
    {
        EXPECT_TRUE(db.Connect(nullptr, 0, 0, 0, "workbench"));
        EXPECT_TRUE(db.OpenProject(project));
    }
    ~OtherClient()
    {
        db.CloseProject();
        db.Disconnect();
    }
    OtherClient(const OtherClient &) = delete;
    OtherClient &operator=(const OtherClient &) = delete;

    void save() { EXPECT_EQ(db.SaveProject(), 0u); }

    // A variable of the user's in "(Global)" with its description, saved.
    void addGlobal(const QString &name, const QString &description)
    {
        const quint32 group = db.FindGroup("(Global)");
        ASSERT_EQ(db.LockGroup(group), 0u);
        const quint32 var =
            db.CreateVar(group, K5DB_POS_APPEND, db.FindType("BOOL"), 0, 0, 0, name);
        ASSERT_NE(var, 0u);
        db.K5DB_SetComment(db.hClient, db.hProject, var, K5DB_COMMENT_DESC,
                           TK5DB::ansiText(description).constData());
        db.UnlockGroup(group);
        save();
    }
};
