// A second process for the lock tests: k5db-lock-probe PROJECT KIND NAME [hold]
// connects, opens PROJECT, locks the program or group (KIND "program" or "group") NAME and
// prints the status. With "hold" it keeps the lock until its standard input closes, then
// closes the project and disconnects.

#include "interfaces/K5dbApi.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    const bool isProgram = std::strcmp(argv[2], "program") == 0;
    const bool hold = argc > 4 && std::strcmp(argv[4], "hold") == 0;
    const uint32_t client = K5DB_Connect(nullptr, 0, 0, 0, "probe");
    const uint32_t project = K5DB_OpenProject(client, argv[1]);
    const uint32_t object = isProgram ? K5DB_FindProgram(client, project, argv[3])
                                      : K5DB_FindGroup(client, project, argv[3]);
    const uint32_t status = isProgram ? K5DB_LockProgram(client, project, object)
                                      : K5DB_LockGroup(client, project, object);
    std::printf("%u\n", static_cast<unsigned>(status));
    std::fflush(stdout);
    if (hold) {
        std::string line;
        while (std::getline(std::cin, line)) {
        }
    }
    K5DB_CloseProject(client, project);
    K5DB_Disconnect(client);
    return project != 0 && object != 0 ? 0 : 1;
}
