// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The outlined image draws zone numbers, which needs a QGuiApplication.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    int qtArgc = 3;
    char name[] = "zones_tests", option[] = "-platform", platform[] = "offscreen";
    char* qtArgv[] = {name, option, platform, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    return RUN_ALL_TESTS();
}
