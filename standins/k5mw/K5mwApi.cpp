// The C entry points: each turns every failure into a 0 handle or an error code. These are the
// only places that catch everything: an exception reaching a C caller would end the program.

#include "interfaces/K5mwApi.h"

#include "K5mwServer.h"

#include <cstring>

using k5mw::Server;

K5MW_API uint32_t K5MW_Connect(const K5mwEventSink *sink, uint32_t, uint32_t, uint32_t,
                               const char *) noexcept
{
    try {
        return Server::instance().connect(sink);
    } catch (...) {
        return 0;
    }
}

K5MW_API void K5MW_Disconnect(uint32_t hClient) noexcept
{
    try {
        Server::instance().disconnect(hClient);
    } catch (...) {
    }
}

K5MW_API uint32_t K5MW_OpenProject(uint32_t hClient, const char *szProjectPath, const char *,
                                   const char *szAddress, uint32_t, uint32_t) noexcept
{
    if (!szProjectPath || !szAddress)
        return 0;
    try {
        return Server::instance().openProject(hClient, szAddress);
    } catch (...) {
        return 0;
    }
}

K5MW_API void K5MW_CloseProject(uint32_t hClient, uint32_t hProject) noexcept
{
    try {
        Server::instance().closeProject(hClient, hProject);
    } catch (...) {
    }
}

K5MW_API int32_t K5MW_Execute(uint32_t hClient, uint32_t hProject, const char *szCommand) noexcept
{
    if (!szCommand)
        return K5MW_ERR_ARGUMENT;
    try {
        return Server::instance().execute(hClient, hProject, szCommand);
    } catch (...) {
        return K5MW_ERR_INTERNAL;
    }
}

K5MW_API int32_t K5MW_GetBinValue(uint32_t hClient, uint32_t hProject, const char *szName, uint32_t,
                                  void *pBuffer, uint32_t *pdwSize, uint32_t *pdwReserved) noexcept
{
    if (!szName || !pBuffer)
        return K5MW_ERR_ARGUMENT;
    try {
        std::string value;
        const int32_t status = Server::instance().readValue(hClient, hProject, szName, value);
        if (status != 0)
            return status;
        // The frame reader bounds an answer's data below the buffer's size.
        std::memcpy(pBuffer, value.data(), value.size());
        if (pdwSize)
            *pdwSize = uint32_t(value.size());
        if (pdwReserved)
            *pdwReserved = 0;
        return 0;
    } catch (...) {
        return K5MW_ERR_INTERNAL;
    }
}
