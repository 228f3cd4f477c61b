/* The interface between the stand-in host ortx.exe and a runtime extension
 * (.orx, a DLL) it loads with "_orx" "_load". Plain C, so either side can be
 * built with any compiler.
 *
 * The host offers every script line it does not know itself, and every
 * expression line (one that starts with "("), to each loaded extension in
 * load order by calling its exported OrxCommand. The extension returns
 * nonzero when it took the line; it reads the lines that follow (its
 * arguments) through NextLine. The host pointer and the strings it hands out
 * are valid only during that call.
 */
#ifndef STANDIN_ORXAPI_H
#define STANDIN_ORXAPI_H

#include <stddef.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ORX_API_VERSION 1

typedef struct OrxHost {
    int ApiVersion; /* ORX_API_VERSION */
    void* Context;  /* the host's own; passed back to every callback */

    /* The next script line, consumed; NULL at the end of the script. */
    const wchar_t* (*NextLine)(void* context);
    /* The open drawing's path exactly as "_.OPEN" gave it (quotes removed),
       or NULL when no drawing is open. */
    const wchar_t* (*DrawingPath)(void* context);
    /* The open drawing's bytes as read at "_.OPEN"; NULL when none is open. */
    const unsigned char* (*DrawingBytes)(void* context, size_t* size);
    /* The format version the next "_.QSAVE" writes (a version magic);
       nonzero when a drawing is open and the magic is one the host knows. */
    int (*SetDrawingVersion)(void* context, const char* magic);
    /* Appends one line to the host's own log. */
    void (*Log)(void* context, const wchar_t* line);
} OrxHost;

/* Exported by every extension. */
typedef int (*OrxCommandProc)(const OrxHost* host, const wchar_t* line);
#define ORX_COMMAND_EXPORT "OrxCommand"

#ifdef __cplusplus
}
#endif

#endif /* STANDIN_ORXAPI_H */
