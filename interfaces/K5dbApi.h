#pragma once

// The project database library K5DBSRV: the calls the generator makes to create, open and
// change a STRATON project. Shared by the library itself and by the program that loads it.
//
// Handles and statuses are 32-bit unsigned. A handle of 0 means "not found or failed"; a
// status of 0 means success, any other status is one of the K5DB_ERR_ codes below. Every call
// after the first four takes the client and the project first. Text goes both ways as
// NUL-terminated 8-bit strings in Windows-1252; returned text stays valid until the same
// client's next call. Null pointers, unknown handles and over-long names are refused with a
// status or a 0 handle; nothing is thrown across this interface.

#include <stdint.h>

#ifdef __cplusplus
#define K5DB_EXTERN extern "C"
#define K5DB_NOEXCEPT noexcept
#else
#define K5DB_EXTERN
#define K5DB_NOEXCEPT
#endif

#if defined(_WIN32)
#define K5DB_API K5DB_EXTERN __declspec(dllexport)
#else
#define K5DB_API K5DB_EXTERN __attribute__((visibility("default")))
#endif

// Statuses.
#define K5DB_OK 0u
#define K5DB_ERR_CLIENT 1u      // unknown client handle
#define K5DB_ERR_PROJECT 2u     // unknown project handle, or not a project of this client
#define K5DB_ERR_HANDLE 3u      // unknown folder, program, group, variable or type handle
#define K5DB_ERR_ARGUMENT 4u    // null pointer, invalid name or value out of range
#define K5DB_ERR_EXISTS 5u      // the project or object exists already
#define K5DB_ERR_LOCKED 6u      // another client holds the lock
#define K5DB_ERR_NOT_EMPTY 7u   // the folder still holds folders or programs
#define K5DB_ERR_NOT_ALLOWED 8u // the top folder, or a value a function block cannot take
#define K5DB_ERR_STORE 9u       // the store could not be read or written
#define K5DB_ERR_FILE 10u       // a file or folder of the project could not be written
#define K5DB_ERR_BUFFER 11u     // the caller's buffer is too small; the text is cut
#define K5DB_ERR_BUSY 12u       // another client's unsaved changes hold the store
#define K5DB_ERR_INTERNAL 13u   // an unexpected failure inside the library

// Variable flags.
#define K5DB_VAR_IN 8u
#define K5DB_VAR_OUT 16u
#define K5DB_VAR_INOUT 72u

// Type flags returned by K5DB_GetTypeDesc.
#define K5DB_TYPE_FB 1u     // a function block, standard or the project's own
#define K5DB_TYPE_UDFB 2u   // a function block program of the project
#define K5DB_TYPE_STRING 4u // a string type, whose variables carry a length

// Program sections.
#define K5DB_SECTION_BEGIN 1u
#define K5DB_SECTION_SFC 2u
#define K5DB_SECTION_END 4u
#define K5DB_SECTION_CHILD 8u
#define K5DB_SECTION_UDFB 16u

// Property numbers and comment kinds the generator uses.
#define K5DB_PROP_EMBED 1u
#define K5DB_PROP_PROFILE 2u
#define K5DB_PROP_STRUCTURE 4u
#define K5DB_PROP_ENABLED 5u
#define K5DB_COMMENT_TAG 1u
#define K5DB_COMMENT_DESC 2u

// K5DB_CreateVar appends with this position; other positions insert before that index.
#define K5DB_POS_APPEND 0xFFFFFFFFu
// K5DB_GetProgramPath writes into a buffer of this size.
#define K5DB_PATH_BUFFER 513u

// Clients and projects. hwndCallback, msgCallback, dwFlags and dwData are accepted and
// ignored: this library posts no events. K5DB_CreateProject makes the project folder, its
// appli.k5p and its store, and does not open it. Changes become durable at K5DB_SaveProject;
// K5DB_CloseProject without a save discards them.
K5DB_API uint32_t K5DB_Connect(void *hwndCallback, uint32_t msgCallback, uint32_t dwFlags,
                               uint32_t dwData, const char *szClientName) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_Disconnect(uint32_t hClient) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_OpenProject(uint32_t hClient, const char *szProjectPath) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_CreateProject(uint32_t hClient, const char *szProjectPath) K5DB_NOEXCEPT;
// Opens a private copy of the project's saved state, to see what changes would do before
// making them: every call works on it as on the project, saves included, but nothing is
// written into the project folder and closing the copy drops it. Other clients' locks are seen
// as in the project; the copy's own locks block nobody. A folder that holds no project gives
// the empty project K5DB_CreateProject would make there. Programs' source paths are those of
// the project; their files are not touched.
K5DB_API uint32_t K5DB_OpenProjectCopy(uint32_t hClient, const char *szProjectPath) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_SetProjectModified(uint32_t hClient, uint32_t hProject) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_SaveProject(uint32_t hClient, uint32_t hProject) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_CloseProject(uint32_t hClient, uint32_t hProject) K5DB_NOEXCEPT;

// Listings: the count first, then the handles into an array of at least that many entries.
// The folder 0 is the project root, which holds the top folder.
K5DB_API uint32_t K5DB_GetNbFolder(uint32_t hClient, uint32_t hProject,
                                   uint32_t hParentFolder) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_GetFolders(uint32_t hClient, uint32_t hProject, uint32_t hParentFolder,
                                  uint32_t *pHandles) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_GetNbFolderProg(uint32_t hClient, uint32_t hProject,
                                       uint32_t hFolder) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_GetFolderProgs(uint32_t hClient, uint32_t hProject, uint32_t hFolder,
                                      uint32_t *pHandles) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_GetNbVar(uint32_t hClient, uint32_t hProject, uint32_t hGroup) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_GetVars(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                               uint32_t *pHandles) K5DB_NOEXCEPT;

// Folders. hParentFolder 0 in K5DB_CreateFolder means the top folder; a folder of that name
// (in any letter case) under the same parent gives 0. A folder is deleted only when empty.
K5DB_API const char *K5DB_GetFolderDesc(uint32_t hClient, uint32_t hProject,
                                        uint32_t hFolder) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_CreateFolder(uint32_t hClient, uint32_t hProject, uint32_t hParentFolder,
                                    const char *szName) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_DeleteFolder(uint32_t hClient, uint32_t hProject,
                                    uint32_t hFolder) K5DB_NOEXCEPT;

// Programs. hParentFolder 0 in K5DB_CreateProgramEx puts the program at the project root.
// The out-pointers of K5DB_GetProgramDesc may be null.
K5DB_API uint32_t K5DB_FindProgram(uint32_t hClient, uint32_t hProject,
                                   const char *szProgName) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_CreateProgramEx(uint32_t hClient, uint32_t hProject, uint32_t dwLanguage,
                                       uint32_t dwSection, uint32_t hParent, const char *szProgName,
                                       uint32_t dwFlags, uint32_t hParentFolder) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_DeleteProgram(uint32_t hClient, uint32_t hProject,
                                     uint32_t hProgram) K5DB_NOEXCEPT;
K5DB_API const char *K5DB_GetProgramDesc(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                         uint32_t *pdwLanguage, uint32_t *pdwSection,
                                         uint32_t *phParent) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_LockProgram(uint32_t hClient, uint32_t hProject,
                                   uint32_t hProgram) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_UnlockProgram(uint32_t hClient, uint32_t hProject,
                                     uint32_t hProgram) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_SaveProgramChanges(uint32_t hClient, uint32_t hProject,
                                          uint32_t hProgram) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_SetProgramSchedule(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                          uint32_t dwPeriod, uint32_t dwOffset) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_SetProgramOnCallFlag(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                            uint32_t dwOnCall) K5DB_NOEXCEPT;
// Writes the source file's path into szPath, which holds K5DB_PATH_BUFFER bytes; a path that
// does not fit gives K5DB_ERR_BUFFER and an empty text.
K5DB_API uint32_t K5DB_GetProgramPath(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                      char *szPath) K5DB_NOEXCEPT;

// Groups: "(Global)", "(Retain)" and one per program, named like it.
K5DB_API uint32_t K5DB_FindGroup(uint32_t hClient, uint32_t hProject,
                                 const char *szGroupName) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_LockGroup(uint32_t hClient, uint32_t hProject,
                                 uint32_t hGroup) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_UnlockGroup(uint32_t hClient, uint32_t hProject,
                                   uint32_t hGroup) K5DB_NOEXCEPT;

// Types: the elementary types, the standard function blocks and the project's function block
// programs. pdwFlags may be null.
K5DB_API uint32_t K5DB_FindType(uint32_t hClient, uint32_t hProject,
                                const char *szTypeName) K5DB_NOEXCEPT;
K5DB_API const char *K5DB_GetTypeDesc(uint32_t hClient, uint32_t hProject, uint32_t hType,
                                      uint32_t *pdwFlags) K5DB_NOEXCEPT;

// Variables. The out-pointers of K5DB_GetVarDesc and K5DB_GetVarInitValue may be null.
K5DB_API uint32_t K5DB_FindVarInGroup(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                      const char *szVarName) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_CreateVar(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                 uint32_t dwPosID, uint32_t hType, uint32_t dwDim,
                                 uint32_t dwStringLength, uint32_t dwFlags,
                                 const char *szVarName) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_DeleteVar(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                 uint32_t hVar) K5DB_NOEXCEPT;
K5DB_API const char *K5DB_GetVarDesc(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                     uint32_t hVar, uint32_t *phType, uint32_t *pdwDim,
                                     uint32_t *pdwStringLength, uint32_t *pdwFlags) K5DB_NOEXCEPT;
// One variable of a group with its comments and properties, as K5DB_GetGroupVarInfos fills
// it: what K5DB_GetVarDesc, K5DB_GetTypeDesc, K5DB_GetVarInitValue, K5DB_GetComment and
// K5DB_GetProperty would return for it, in one record.
typedef struct K5DB_VARINFO {
    uint32_t hVar;
    uint32_t hType; // 0 when the type is no longer known
    uint32_t dwDim;
    uint32_t dwStringLength;
    uint32_t dwFlags;
    uint32_t dwInitValid;      // 1 when the variable has an initial value
    const char *szName;        // as created
    const char *szType;        // the type's name, empty when hType is 0
    const char *szInitValue;   // empty when there is none
    const char *szTag;         // comment K5DB_COMMENT_TAG, whole
    const char *szDescription; // comment K5DB_COMMENT_DESC, whole
    const char *szProfile;     // property K5DB_PROP_PROFILE
    const char *szEmbed;       // property K5DB_PROP_EMBED
} K5DB_VARINFO;

// Every variable of a group in one call, in the group's order, for a caller that reads a
// whole group: *pdwCount gets the number of variables and the first dwMax of them are written
// into pVars (null only when dwMax is 0); more than dwMax gives K5DB_ERR_BUFFER. The texts stay
// valid until the client's next call that returns text.
K5DB_API uint32_t K5DB_GetGroupVarInfos(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                        K5DB_VARINFO *pVars, uint32_t dwMax,
                                        uint32_t *pdwCount) K5DB_NOEXCEPT;
// An empty value removes the initial value.
K5DB_API uint32_t K5DB_SetVarInitValue(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                       uint32_t hVar, const char *szValue) K5DB_NOEXCEPT;
K5DB_API const char *K5DB_GetVarInitValue(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                          uint32_t hVar, uint32_t *pdwValid) K5DB_NOEXCEPT;

// Properties and comments of programs and variables. A property never set reads as empty.
K5DB_API uint32_t K5DB_SetProperty(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                   uint32_t hProp, const char *szValue) K5DB_NOEXCEPT;
K5DB_API const char *K5DB_GetProperty(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                      uint32_t hProp) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_RemoveProperties(uint32_t hClient, uint32_t hProject,
                                        uint32_t hObject) K5DB_NOEXCEPT;
K5DB_API uint32_t K5DB_SetComment(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                  uint32_t dwCommType, const char *szValue) K5DB_NOEXCEPT;
// The length in bytes, without the NUL.
K5DB_API uint32_t K5DB_GetCommentLength(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                        uint32_t dwCommType) K5DB_NOEXCEPT;
// Copies the comment and a NUL into szBuffer; a comment that does not fit is cut and gives
// K5DB_ERR_BUFFER.
K5DB_API uint32_t K5DB_GetComment(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                  uint32_t dwCommType, char *szBuffer,
                                  uint32_t dwBufSize) K5DB_NOEXCEPT;
