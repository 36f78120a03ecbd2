/* SPDX-License-Identifier: Apache-2.0 */
/* Copyright 2026 The Quadrel authors */
/* Quadrel: layout analysis of 1-bit scanned pages.
 *
 * A plain C interface. A caller creates an analysis context with LA_Init,
 * may build a pipe of analysis functions and set numeric parameters, hands
 * LA_Execute a packed 1-bit DIB held in a movable memory block, and reads the
 * zone table back with the zone accessors. Every integer that crosses this
 * interface is 32 bits wide; no C++ exception ever leaves the library.
 *
 * Status values: 0 success; 1 memory exhausted (also a null pipe given to
 * LA_AddFunctionToPipe); 2 DIB not importable, pipe full, default pipe not
 * allocatable, skew angle not measured; 4 a text zone measured by the zone
 * post-processing holds no black pixel; 11 null context given to the
 * parameter functions, a context that LA_Init did not make or LA_Done has
 * released, or zone index out of range.
 */
#ifndef QUADREL_LA_API_H
#define QUADREL_LA_API_H

#include <stdint.h>

#if defined(QUADREL_BUILDING_LIBRARY)
#define LA_EXPORT __attribute__((visibility("default")))
#else
#define LA_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* An analysis context: created by LA_Init, released by LA_Done. */
typedef struct LaContext LaContext;
/* A pipe of function codes (at most 20). */
typedef struct LaPipe LaPipe;
/* Handle of a movable memory block holding a packed DIB: a 40-byte
 * information header, a two-entry colour table and the pixel rows. Rows are
 * stored bottom row first, or top row first when the header's height is
 * negative; either way the page is read as displayed, so both give the same
 * zones. */
typedef void* LaDibHandle;

/* Function codes that may stand in a pipe. */
enum {
    LA_FUNCTION_SKEW = 1,
    LA_FUNCTION_LINES_AND_TABLES = 2,
    LA_FUNCTION_LINE_REMOVAL = 4,
    LA_FUNCTION_INVERSE_TEXT = 8,
    LA_FUNCTION_PICTURES = 16,
    LA_FUNCTION_TEXT_BLOCKS = 32
};

/* Zone content codes. */
enum {
    LA_CONTENT_LINE = 0,
    LA_CONTENT_TABLE = 1,
    LA_CONTENT_TABLE_COLUMN = 2,
    LA_CONTENT_TABLE_CELL = 3,
    LA_CONTENT_INVERTED_TEXT = 4,
    LA_CONTENT_PICTURE = 5,
    LA_CONTENT_TEXT = 6,
    LA_CONTENT_NOISE = 7
};

/* Parameter identifiers of LA_SetParameter / LA_GetParameter. The defaults
 * the default pipe sets are the LA_DEFAULT_* values below; a fresh context
 * holds 0 in each, except LA_PARAM_NOISE_AND_PICTURES, which starts at 5. */
enum {
    LA_PARAM_LINES_MIN_SEED_LENGTH = 100,   /* code 2: longest black run a line needs, pixels */
    LA_PARAM_LINES_MAX_THICKNESS = 101,     /* code 2: a line is thinner than this, pixels */
    LA_PARAM_LINES_DIRECTIONS = 102,        /* code 2: bit 1 horizontal, bit 2 vertical */
    LA_PARAM_REMOVAL_MIN_SEED_LENGTH = 200, /* code 4: longest black run a removed line needs */
    LA_PARAM_REMOVAL_MAX_THICKNESS = 201,   /* code 4: a removed line is thinner than this */
    LA_PARAM_REMOVAL_DIRECTIONS = 202,      /* code 4: bit 1 horizontal, bit 2 vertical */
    LA_PARAM_REMOVAL_RESERVED = 203,        /* code 4: passed, not consulted */
    LA_PARAM_INVERSE_MIN_WIDTH = 300,       /* code 8: narrowest dark-band row, pixels */
    LA_PARAM_INVERSE_RESERVED = 301,        /* code 8: passed, not consulted */
    LA_PARAM_NOISE_AND_PICTURES = 400,      /* code 16 grouping size; zone table noise size */
    LA_PARAM_PIPE = 500,                    /* the installed pipe, by its process-wide number */
    LA_PARAM_SKEW_ANGLE = 600               /* read only: skew in hundredths of a degree */
};

/* The parameter values the default pipe sets, declared once for the library,
 * the command line and every caller that builds a pipe of its own. */
enum {
    LA_DEFAULT_LINES_MIN_SEED_LENGTH = 80,
    LA_DEFAULT_LINES_MAX_THICKNESS = 120,
    LA_DEFAULT_LINES_DIRECTIONS = 3,
    LA_DEFAULT_REMOVAL_MIN_SEED_LENGTH = 80,
    LA_DEFAULT_REMOVAL_MAX_THICKNESS = 120,
    LA_DEFAULT_REMOVAL_DIRECTIONS = 3,
    LA_DEFAULT_REMOVAL_RESERVED = 7,
    LA_DEFAULT_INVERSE_MIN_WIDTH = 80,
    LA_DEFAULT_INVERSE_RESERVED = 120,
    LA_DEFAULT_NOISE_AND_PICTURES = 9
};

/* Status values returned by the exported functions. */
enum {
    LA_STATUS_OK = 0,
    LA_STATUS_OUT_OF_MEMORY = 1,        /* memory exhausted (by LA_Execute: some zones may be
                                           missing); also a null or destroyed pipe */
    LA_STATUS_NOT_AVAILABLE = 2,        /* DIB not importable, pipe full, default pipe not
                                           allocatable, skew angle not measured */
    LA_STATUS_NULL_ARGUMENT = 3,        /* null argument inside component extraction */
    LA_STATUS_NO_BLACK_PIXEL = 4,       /* no black pixel where components were sought */
    LA_STATUS_BAD_CONTEXT_OR_INDEX = 11 /* null, released or unknown context; bad zone index */
};

/* Creates a context; both arguments are ignored. Null when memory runs out. */
LA_EXPORT LaContext* LA_Init(const char* reserved1, const char* reserved2);
/* Releases the context and all it owns, its default pipe included; a pipe
 * made by LA_CreatePipe stays the caller's. Null, a context already released
 * or a pointer LA_Init did not return does nothing. Not to be called while
 * another thread uses the same context. */
LA_EXPORT void LA_Done(LaContext* ctx);
/* Analyses the page held in `dib` and rebuilds the zone table. The block
 * stays the caller's; it is only read. Holds the library lock throughout.
 * A context without a live pipe runs its default pipe (codes 2, 8, 4, 32)
 * and gets the default parameters. Null, released or unknown context: 11.
 *
 * Status: 2 when the DIB cannot be read or the default pipe cannot be made,
 * 1 when no memory is left for a function's copy of the page; the previous
 * zone table then stays. Otherwise every function of the pipe runs and the
 * table is built from what they left; a function that fails does not stop the
 * run. The result is 1 when any function ran out of memory (its zones may be
 * missing), else the status of building the table (0; 1; 4 for a text zone
 * without black pixel). A function's other statuses (2 skew not measured,
 * 4 no black pixel) leave the result 0. See docs/api.md. */
LA_EXPORT int32_t LA_Execute(LaContext* ctx, LaDibHandle dib);

/* Makes an empty pipe, installs it in the context and returns it (null when
 * memory runs out or the context is null, released or unknown). The pipe
 * belongs to the caller. */
LA_EXPORT LaPipe* LA_CreatePipe(LaContext* ctx);
/* Appends a function code. Null or destroyed pipe: 1; pipe already full
 * (20 codes): 2. */
LA_EXPORT int32_t LA_AddFunctionToPipe(LaPipe* pipe, int32_t code);
/* Releases a pipe made by LA_CreatePipe; null or an already destroyed pipe
 * is ignored. A context that still has it installed runs its default pipe
 * at the next LA_Execute, unless another pipe is installed first. */
LA_EXPORT void LA_DestroyPipe(LaPipe* pipe);

/* Parameters 100-102, 200-203, 300, 301, 400 are integers; 500 is the pipe,
 * carried as a process-wide pipe number (0 for none); 600 (read only) is the
 * skew angle in hundredths of a degree (0 for level text lines, from -1480
 * to +1500). Null, released or unknown context: 11. */
LA_EXPORT int32_t LA_SetParameter(LaContext* ctx, int32_t id, int32_t value);
LA_EXPORT int32_t LA_GetParameter(LaContext* ctx, int32_t id, int32_t* value);

/* The zone table of the last analysis: rectangles in page pixels with the
 * origin at the top left; left, top and bottom inclusive, right exclusive.
 * Line zones (content 0) keep the line record's own box: a horizontal rule's
 * zone is as above, but a vertical rule's right is its last ink column
 * (inclusive) and its top is the row just above its topmost ink row.
 * LA_GetZonesCount gives 0 for a null, released or unknown context; the other
 * two return 0 and write nothing for a null context, 11 for a released or
 * unknown one or an index out of range. */
LA_EXPORT int32_t LA_GetZonesCount(LaContext* ctx);
LA_EXPORT int32_t LA_GetZoneRect(LaContext* ctx, int32_t index, int32_t* left, int32_t* top,
                                 int32_t* right, int32_t* bottom);
LA_EXPORT int32_t LA_GetZoneContent(LaContext* ctx, int32_t index, int32_t* content);

#ifdef __cplusplus
}
#endif

#endif /* QUADREL_LA_API_H */
