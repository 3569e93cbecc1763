#pragma once

// The compiler library K5CMP: one call that checks every program of a project and, when all
// of them are sound, writes the compiled application APPLI.XTI into the project folder.
// Shared by the library itself and by the program that loads it.
//
// Text goes both ways as NUL-terminated 8-bit strings in Windows-1252. Nothing is thrown
// across this interface.

#ifdef __cplusplus
#define K5CMP_EXTERN extern "C"
#define K5CMP_NOEXCEPT noexcept
#else
#define K5CMP_EXTERN
#define K5CMP_NOEXCEPT
#endif

#if defined(_WIN32)
#define K5CMP_API K5CMP_EXTERN __declspec(dllexport)
#else
#define K5CMP_API K5CMP_EXTERN __attribute__((visibility("default")))
#endif

// Where the compiler's messages go, one line at a time, in order, on the caller's thread and
// during the call only. `message` may be null; then the messages are dropped.
typedef struct K5CmpSink {
    void *context;
    void (*message)(void *context, const char *line);
} K5CmpSink;

// Builds the project in projectFolder. Returns 1 when every program compiled and APPLI.XTI was
// written; 0 otherwise, after sending each problem as "ProgramName(line): text" to the sink.
// The project is only read, so it may be open in another client. sink may be null.
K5CMP_API int K5CmpBuildDefault(const char *projectFolder, const K5CmpSink *sink) K5CMP_NOEXCEPT;
