// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Test entry point for widget tests: one QApplication for the whole run, on
// the off-screen platform unless another one is asked for, so the tests
// never need a display. Settings go to a temporary folder, so that tests
// neither read nor change the user's recent files.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Each test process gets its own configuration folder: ctest runs test
    // programs side by side, and a shared settings file lets one test's last
    // folder leak into another's.
    const QTemporaryDir settingsFolder;
    setenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
