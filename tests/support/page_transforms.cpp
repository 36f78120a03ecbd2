// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/support/page_transforms.h"

namespace testsupport {

TestPage tiled(const TestPage& page, int across, int down) {
    TestPage out(page.width() * across, page.height() * down);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            if (!page.black(x, y)) continue;
            for (int ty = 0; ty < down; ++ty)
                for (int tx = 0; tx < across; ++tx)
                    out.set(tx * page.width() + x, ty * page.height() + y);
        }
    return out;
}

TestPage doubled(const TestPage& page) {
    TestPage out(page.width() * 2, page.height() * 2);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.black(x, y)) out.fillRect(2 * x, 2 * y, 2, 2);
    return out;
}

} // namespace testsupport
