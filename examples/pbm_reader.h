// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
/* A tiny reader of binary PBM files (P4), the 1-bit format of netpbm, for
 * the examples: rows top first, packed 8 pixels a byte, leftmost pixel in
 * the most significant bit, a 1 bit black - exactly the packed rows that
 * QM_CreatePage takes. `jbgtopbm` and `pngtopnm | pamditherbw | pamtopnm`
 * make such files. */
#ifndef QUADREL_EXAMPLES_PBM_READER_H
#define QUADREL_EXAMPLES_PBM_READER_H

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

typedef struct PbmImage {
    int32_t width;
    int32_t height;
    int32_t stride;      /* bytes per row: (width + 7) / 8 */
    unsigned char* rows; /* malloc'd, height * stride bytes */
} PbmImage;

/* Reads the next header number, skipping white space and # comments. */
static int pbm_read_number(FILE* in, int32_t* value) {
    int c = fgetc(in);
    while (c == '#' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        if (c == '#')
            while (c != '\n' && c != EOF) c = fgetc(in);
        c = fgetc(in);
    }
    if (c < '0' || c > '9') return 0;
    long n = 0;
    for (; c >= '0' && c <= '9'; c = fgetc(in)) {
        n = n * 10 + (c - '0');
        if (n > 1000000) return 0;
    }
    *value = (int32_t)n; /* the one white-space byte after the number is consumed */
    return 1;
}

/* Reads a P4 file into *image; 0 with a message on stderr when it cannot. */
static int pbm_read(const char* path, PbmImage* image) {
    FILE* in = fopen(path, "rb");
    if (!in) {
        perror(path);
        return 0;
    }
    int ok = fgetc(in) == 'P' && fgetc(in) == '4' && pbm_read_number(in, &image->width) &&
             pbm_read_number(in, &image->height) && image->width > 0 && image->height > 0;
    image->rows = NULL;
    if (ok) {
        image->stride = (image->width + 7) / 8;
        const size_t size = (size_t)image->stride * (size_t)image->height;
        image->rows = (unsigned char*)malloc(size);
        ok = image->rows && fread(image->rows, 1, size, in) == size;
    }
    fclose(in);
    if (!ok) {
        fprintf(stderr, "%s: not a complete binary PBM (P4) file\n", path);
        free(image->rows);
        image->rows = NULL;
    }
    return ok;
}

#endif /* QUADREL_EXAMPLES_PBM_READER_H */
