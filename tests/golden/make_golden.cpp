// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Writes the zone-table fixtures of every page and pipe into a folder (the
// first argument, else the fixture folder of the source tree). Run it only
// when a change of the zone tables is intended, and review the diff.
#include "tests/golden/golden_run.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : QUADREL_GOLDEN_DATA_DIR;
    std::filesystem::create_directories(folder);
    int written = 0;
    for (const golden::PageCase& c : golden::pageCases()) {
        const auto page = c.load(c.name);
        if (!page) {
            std::cerr << "skipped " << c.name << ": page not available\n";
            continue;
        }
        for (golden::Pipe pipe : golden::pipes()) {
            const std::filesystem::path path = folder / golden::fixtureName(c.name, pipe);
            std::ofstream(path) << golden::zoneTableText(*page, pipe);
            std::cout << path.string() << '\n';
            ++written;
        }
    }
    return written > 0 ? 0 : 1;
}
