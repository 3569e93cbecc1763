// k5db-dump PROJECT: prints a project of the stand-in project database as text, the way to see
// what the generator wrote without the workbench. Reads only what was saved.

#include "LockTable.h"
#include "Project.h"
#include "ProjectDump.h"
#include "StoreError.h"

#include <cstdio>
#include <exception>
#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: k5db-dump PROJECT\n");
        return 2;
    }
    try {
        k5db::Project project(argv[1], k5db::LockOwner::forClient(0, "k5db-dump"), true);
        std::cout << k5db::dumpProject(project);
        std::cout.flush();
        return std::cout ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "k5db-dump: %s: %s\n", argv[1], e.what());
        return 1;
    }
}
