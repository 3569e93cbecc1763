#pragma once

// The middleware library K5MW: the calls that download a compiled application to an Orvane
// device and start it. Shared by the library itself and by the program that loads it.
//
// Handles are 32-bit unsigned, 0 meaning "failed". K5MW_Execute and K5MW_GetBinValue return
// 0 when the device accepted, else an error code: the device's own codes (K5MW_DEV_...) or
// the library's (K5MW_ERR_...). Text is NUL-terminated 8-bit. Nothing is thrown across this
// interface; null pointers and unknown handles are refused.
//
// Events (kind, value) reach the client's sink from the library's own thread, one at a time,
// in the order the device posted them, until K5MW_CloseProject or K5MW_Disconnect returns. The
// sink must not call back into the library.

#include <stdint.h>

#ifdef __cplusplus
#define K5MW_EXTERN extern "C"
#define K5MW_NOEXCEPT noexcept
#else
#define K5MW_EXTERN
#define K5MW_NOEXCEPT
#endif

#if defined(_WIN32)
#define K5MW_API K5MW_EXTERN __declspec(dllexport)
#else
#define K5MW_API K5MW_EXTERN __attribute__((visibility("default")))
#endif

// Refusals by the device.
#define K5MW_DEV_UNKNOWN_COMMAND 1
#define K5MW_DEV_BUSY 2
#define K5MW_DEV_WRONG_STATE 3
#define K5MW_DEV_BAD_APPLICATION 4
#define K5MW_DEV_LOADING 5
#define K5MW_DEV_UNKNOWN_VALUE 6

// Failures of the library itself.
#define K5MW_ERR_ARGUMENT 100 // unknown handle, null pointer or malformed command
#define K5MW_ERR_LINK 101     // the connection to the device is lost
#define K5MW_ERR_TIMEOUT 102  // the device did not answer in time
#define K5MW_ERR_FILE 103     // the application file is unreadable, empty or too large
#define K5MW_ERR_INTERNAL 104

// Event kinds the device posts.
#define K5MW_EVENT_PROGRESS 4   // value: percent of the application received
#define K5MW_EVENT_APP_STATE 11 // value: 5 started, 6 stop requested, 8 start requested, 9 stopped
#define K5MW_EVENT_APP_RECEIVED 12 // the whole application is received

// Values of "<AppStatus>".
#define K5MW_STATUS_RUNNING 15
#define K5MW_STATUS_STOPPED 16
#define K5MW_STATUS_LOADING 17
#define K5MW_STATUS_NO_APPLICATION 19

// K5MW_GetBinValue writes at most this many bytes into the caller's buffer.
#define K5MW_VALUE_BUFFER 513

// Where a client's events go; the library copies the structure at K5MW_Connect.
typedef struct K5mwEventSink {
    void *context;
    void (*event)(void *context, unsigned kind, unsigned value);
} K5mwEventSink;

// A client. sink may be null (no events); msgNumber, dwFlags and dwData are accepted and
// ignored.
K5MW_API uint32_t K5MW_Connect(const K5mwEventSink *sink, uint32_t msgNumber, uint32_t dwFlags,
                               uint32_t dwData, const char *szClientName) K5MW_NOEXCEPT;
// Closes the client's projects first.
K5MW_API void K5MW_Disconnect(uint32_t hClient) K5MW_NOEXCEPT;

// Connects to the device at szAddress, "host" or "host:port" (port 502 when none is given;
// an IPv6 address in brackets), and checks that a device answers. szDriver names the
// communication driver; TCP is the only one, so the name is not checked. dwFlags and dwData
// are accepted and ignored.
K5MW_API uint32_t K5MW_OpenProject(uint32_t hClient, const char *szProjectPath,
                                   const char *szDriver, const char *szAddress, uint32_t dwFlags,
                                   uint32_t dwData) K5MW_NOEXCEPT;
K5MW_API void K5MW_CloseProject(uint32_t hClient, uint32_t hProject) K5MW_NOEXCEPT;

// "AppStop", "AppStart", or "LoadCode:" followed by the path of the compiled application,
// which the library reads and sends. Waits for the device's answer.
K5MW_API int32_t K5MW_Execute(uint32_t hClient, uint32_t hProject,
                              const char *szCommand) K5MW_NOEXCEPT;

// Reads a value of the device ("<AppStatus>": 4 bytes, little-endian) into pBuffer, which
// must hold K5MW_VALUE_BUFFER bytes. *pdwSize (if not null) receives the value's size and
// *pdwReserved (if not null) 0.
K5MW_API int32_t K5MW_GetBinValue(uint32_t hClient, uint32_t hProject, const char *szName,
                                  uint32_t dwFlags, void *pBuffer, uint32_t *pdwSize,
                                  uint32_t *pdwReserved) K5MW_NOEXCEPT;
