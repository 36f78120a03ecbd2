/* SPDX-License-Identifier: Apache-2.0 */
/* Copyright 2026 The Quadrel authors */
/* page_zones: builds a page from its own pixel buffer, analyses it with the
 * default pipe and prints the zone table.
 *
 *   page_zones [PAGE.pbm]
 *
 * With a binary PBM file the page is that file's pixels; without one it is
 * a page drawn here (lines of letter-like marks above a ruled table). One
 * line per zone: left top right bottom content-code content-name, in page
 * pixels with the origin at the top left, right exclusive.
 *
 * Build against the installed library:
 *   cc page_zones.c $(pkg-config --cflags --libs quadrel) -o page_zones */
#include <quadrel/la_api.h>
#include <quadrel/quadrel_memory.h>

#include "pbm_reader.h"

#include <stdio.h>
#include <stdlib.h>

static const char* const kContentNames[] = {
    "line", "table", "table-column", "table-cell", "inverted-text", "picture", "text", "noise"};

/* Blackens a rectangle of packed rows (a 1 bit is black, rows top first). */
static void fill(PbmImage* page, int32_t x, int32_t y, int32_t w, int32_t h) {
    for (int32_t yy = y; yy < y + h; ++yy)
        for (int32_t xx = x; xx < x + w; ++xx)
            page->rows[(size_t)yy * (size_t)page->stride + (size_t)(xx >> 3)] |=
                (unsigned char)(0x80 >> (xx & 7));
}

static int draw_page(PbmImage* page) {
    page->width = 1200;
    page->height = 900;
    page->stride = (page->width + 7) / 8;
    page->rows = (unsigned char*)calloc((size_t)page->stride * (size_t)page->height, 1);
    if (!page->rows) return 0;
    for (int line = 0; line < 8; ++line)
        for (int letter = 0; letter < 40; ++letter)
            fill(page, 100 + letter * 22 + (letter % 6 == 5 ? 10 : 0), 120 + line * 40, 14, 20);
    fill(page, 80, 500, 1000, 3); /* a ruled table: two rules... */
    fill(page, 80, 700, 1000, 3);
    fill(page, 80, 500, 3, 203); /* ...and three columns */
    fill(page, 580, 500, 3, 203);
    fill(page, 1077, 500, 3, 203);
    return 1;
}

static void print_zones(LaContext* ctx) {
    const int32_t count = LA_GetZonesCount(ctx);
    for (int32_t i = 0; i < count; ++i) {
        int32_t left = 0, top = 0, right = 0, bottom = 0, content = 0;
        LA_GetZoneRect(ctx, i, &left, &top, &right, &bottom);
        LA_GetZoneContent(ctx, i, &content);
        printf("%d %d %d %d %d %s\n", left, top, right, bottom, content,
               content >= 0 && content <= LA_CONTENT_NOISE ? kContentNames[content] : "?");
    }
}

int main(int argc, char** argv) {
    PbmImage pixels;
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        fprintf(stderr, "usage: page_zones [PAGE.pbm]\n");
        return 2;
    }
    if (!(argc == 2 ? pbm_read(argv[1], &pixels) : draw_page(&pixels))) return 1;

    /* The page block: our rows, a 1 bit black, resolution unknown. */
    QmHandle page = NULL;
    const int32_t made = QM_CreatePage(pixels.rows, (size_t)pixels.stride * (size_t)pixels.height,
                                       pixels.width, pixels.height, pixels.stride, 1, 0, 0, &page);
    free(pixels.rows); /* the block holds its own copy */
    if (made != QM_STATUS_OK) {
        fprintf(stderr, "page_zones: %s\n", QM_StatusText(made));
        return 1;
    }

    LaContext* ctx = LA_Init("", "");
    if (!ctx) {
        fprintf(stderr, "page_zones: out of memory\n");
        QM_Free(page);
        return 1;
    }
    const int32_t status = LA_Execute(ctx, page);
    if (status == LA_STATUS_OK) {
        printf("# %d x %d page, %d zones\n", pixels.width, pixels.height, LA_GetZonesCount(ctx));
        print_zones(ctx);
    } else {
        fprintf(stderr, "page_zones: the analysis failed with status %d\n", status);
    }
    LA_Done(ctx);
    QM_Free(page);
    return status == LA_STATUS_OK ? 0 : 1;
}
