// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Word loops compiled a second time for BMI1 (tzcnt) and POPCNT, which the
// baseline x86-64 target lacks: a function marked QUADREL_BIT_INSTRUCTIONS
// gets them in the loops inlined into it (the portable bit count becomes one
// popcnt), and is called only when the CPU has them.
#pragma once

namespace quadrel {

#if defined(__x86_64__) && defined(__GNUC__)
#define QUADREL_BIT_INSTRUCTIONS [[gnu::target("bmi,popcnt")]]

// Whether the CPU has both instructions, asked once.
inline bool cpuHasBitInstructions() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    }();
    return has;
}
#else
#define QUADREL_BIT_INSTRUCTIONS
inline bool cpuHasBitInstructions() {
    return true;
}
#endif

} // namespace quadrel
