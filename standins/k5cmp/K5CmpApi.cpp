#include "interfaces/K5CmpApi.h"

#include "K5dbServer.h"
#include "ProjectBuild.h"

#include <string>

extern "C" K5CMP_API int K5CmpBuildDefault(const char *projectFolder,
                                           const K5CmpSink *sink) noexcept
{
    const auto send = [sink](const std::string &line) {
        if (sink && sink->message)
            sink->message(sink->context, line.c_str());
    };
    try {
        return k5cmp::buildProject(k5db::projectFolder(projectFolder), send) ? 1 : 0;
    } catch (...) { // an exception reaching a C caller would end the whole generator
        try {
            send("K5CMP(0): the compiler failed unexpectedly");
        } catch (...) {
        }
        return 0;
    }
}
