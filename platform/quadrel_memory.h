/* SPDX-License-Identifier: Apache-2.0 */
/* Copyright 2026 The Quadrel authors */
/* Quadrel memory blocks: movable, zero-filled memory addressed by a handle,
 * and the page block that LA_Execute reads.
 *
 * libquadrel_memory.so.1 is the one place that knows where a block's bytes
 * live: the analysis library, the programs and every caller link it, so a
 * handle made on one side is read identically on the other. All functions
 * are safe to call from any thread; the lock count of one block is the
 * caller's to keep consistent.
 *
 * BLOCKS
 *   A handle names a block of QM_Size bytes. QM_Lock gives the address of
 *   its first byte, valid until the matching QM_Unlock; QM_ReAlloc may move
 *   the bytes, the handle stays the same. Locks nest: each QM_Lock adds one
 *   to the block's lock count and each QM_Unlock takes one away. A handle
 *   that is not a live block (null, never allocated, already freed) is
 *   refused by every function without touching memory, and a freed handle is
 *   never given out again.
 *
 * THE PAGE BLOCK (what LA_Execute expects)
 *   A packed device-independent bitmap of one 1-bit page, all integers little
 *   endian:
 *     bytes  0..39  information header
 *              0  uint32  header size, 40
 *              4  int32   width in pixels (> 0)
 *              8  int32   height in pixels; > 0: rows stored bottom row
 *                         first; < 0: rows stored top row first
 *             12  uint16  planes, 1
 *             14  uint16  bits per pixel, 1 (any other value is refused)
 *             16  uint32  compression, 0 (none)
 *             20  uint32  size of the pixel rows in bytes
 *             24  int32   horizontal resolution, pixels per metre
 *             28  int32   vertical resolution, pixels per metre
 *             32  uint32  colours used, 2
 *             36  uint32  colours important, 2
 *     bytes 40..47  colour table: two entries of blue, green, red, 0. When
 *                   entry 0 is black (0, 0, 0) a 0 bit is black, otherwise
 *                   a 1 bit is black.
 *     bytes 48..    the rows, each padded to a multiple of 4 bytes:
 *                   row length = (width + 31) / 32 * 4. The leftmost pixel
 *                   of a row is the most significant bit of its first byte.
 *   QM_CreatePage writes exactly this form: positive height (bottom row
 *   first), a 1 bit black, colour table white then black, padding bits 0.
 */
#ifndef QUADREL_QUADREL_MEMORY_H
#define QUADREL_QUADREL_MEMORY_H

#include <stddef.h>
#include <stdint.h>

#if defined(QUADREL_BUILDING_MEMORY)
#define QM_EXPORT __attribute__((visibility("default")))
#else
#define QM_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Handle of a movable memory block; opaque, never dereferenced by callers. */
typedef struct QmBlock* QmHandle;

/* Status values of QM_CreatePage. */
enum {
    QM_STATUS_OK = 0,
    QM_STATUS_OUT_OF_MEMORY = 1,
    QM_STATUS_NULL_ARGUMENT = 2, /* no pixel buffer or no place for the handle */
    QM_STATUS_BAD_SIZE = 3,      /* width or height below 1, or the page too large */
    QM_STATUS_BAD_STRIDE = 4,    /* stride shorter than a row of packed pixels */
    QM_STATUS_SHORT_BUFFER = 5,  /* the buffer ends before the last row does */
    QM_STATUS_BAD_POLARITY = 6,  /* the black bit value is neither 0 nor 1 */
    QM_STATUS_BAD_RESOLUTION = 7 /* a resolution below 0 or above QM_MAX_DPI */
};

/* Highest resolution QM_CreatePage accepts, dots per inch. */
#define QM_MAX_DPI 1000000

/* Allocates a zero-filled block of `size` bytes (0 is allowed: the block
 * then has no bytes, yet locks to a non-null address). Null when memory
 * runs out, including a size no allocation can hold (a negative count
 * converted to size_t). */
QM_EXPORT QmHandle QM_Alloc(size_t size);

/* Resizes a block; bytes beyond the old size are zero. Returns the same
 * handle, or null with the block unchanged when memory runs out or the
 * handle is not a live block. The bytes may move: re-lock after it. */
QM_EXPORT QmHandle QM_ReAlloc(QmHandle block, size_t size);

/* Locks a block and returns the address of its first byte; null for a
 * handle that is not a live block. */
QM_EXPORT void* QM_Lock(QmHandle block);

/* Undoes one QM_Lock and returns the lock count left (0: unlocked); -1 when
 * the handle is not a live block or the block is not locked. */
QM_EXPORT int32_t QM_Unlock(QmHandle block);

/* Number of QM_Lock calls not yet undone; 0 for a handle that is not live. */
QM_EXPORT int32_t QM_LockCount(QmHandle block);

/* Size of the block in bytes; 0 for a handle that is not a live block. */
QM_EXPORT size_t QM_Size(QmHandle block);

/* Frees a block, locked or not. Returns null when freed, and the handle
 * itself when it was not a live block (null, unknown or already freed). */
QM_EXPORT QmHandle QM_Free(QmHandle block);

/* The handle of the block whose first byte lies at `address` (as returned
 * by QM_Lock); null when no live block starts there. */
QM_EXPORT QmHandle QM_HandleOf(const void* address);

/* Builds the page block of a 1-bit page from the caller's packed rows.
 *   pixels        the top row first; row r starts at pixels + r * stride.
 *                 The leftmost pixel is the most significant bit of a row's
 *                 first byte (as in PBM and most TIFF files). Only read.
 *   pixels_size   bytes readable at `pixels`; at least
 *                 (height - 1) * stride + (width + 7) / 8.
 *   width, height pixels, each at least 1.
 *   stride        bytes from the start of one row to the next, at least
 *                 (width + 7) / 8; bits after the last pixel are ignored.
 *   black_bit     the bit value that is black in the buffer: 1 (PBM, TIFF
 *                 min-is-white) or 0 (TIFF min-is-black).
 *   x_dpi, y_dpi  resolution in dots per inch, 0 when unknown; stored as
 *                 pixels per metre (dpi x 39.37, rounded half to even).
 * On success stores a new block in *page that the caller frees with QM_Free
 * and returns QM_STATUS_OK; otherwise returns a QM_STATUS_ value and leaves
 * *page untouched. */
QM_EXPORT int32_t QM_CreatePage(const void* pixels, size_t pixels_size, int32_t width,
                                int32_t height, int32_t stride, int32_t black_bit, int32_t x_dpi,
                                int32_t y_dpi, QmHandle* page);

/* A short English sentence for a QM_STATUS_ value (never null). */
QM_EXPORT const char* QM_StatusText(int32_t status);

#ifdef __cplusplus
}
#endif

#endif /* QUADREL_QUADREL_MEMORY_H */
