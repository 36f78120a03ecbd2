// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The window driven by a stand-in library whose zone table, skew angle and
// status the test chooses.
#pragma once

#include "evalia/main_window.h"
#include "fake_prompts.h"
#include "imaging/tiff_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <gtest/gtest.h>

inline int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == colour;
    return n;
}

inline std::string ScriptedLibraryPath() {
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() +
           "/libevalia_scripted_quadrel.so";
}

class ScriptedFormTest : public testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        // Kept open for the whole test, so the script survives the window.
        module = dlopen(ScriptedLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        setResult = reinterpret_cast<decltype(setResult)>(dlsym(module, "Scripted_SetResult"));
        setStatus = reinterpret_cast<decltype(setStatus)>(dlsym(module, "Scripted_SetStatus"));
        lastDib = reinterpret_cast<decltype(lastDib)>(dlsym(module, "Scripted_LastDib"));
        contextsAlive =
            reinterpret_cast<decltype(contextsAlive)>(dlsym(module, "Scripted_ContextsAlive"));
        ASSERT_TRUE(setResult && setStatus && lastDib && contextsAlive);

        form = std::make_unique<TMainWindow>(std::make_unique<evalia::TQuadrelLibrary>(
                                                 std::vector<std::string>{ScriptedLibraryPath()}),
                                             prompts);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void TearDown() override {
        form.reset();
        if (setStatus != nullptr) setStatus(LA_STATUS_OK);
        if (module != nullptr) dlclose(module);
        QLocale::setDefault(QLocale::system());
    }

    // Opens a 1-bit page, all black unless `white`, and processes it with
    // the given result; `yDpi` other than 200 makes a page of unequal
    // resolutions.
    void OpenAndProcess(int width, int height, std::int32_t skew,
                        const std::vector<std::int32_t>& zones, bool white = false,
                        int yDpi = 200) {
        imaging::TDIB page;
        page.NewImage(width, height, imaging::pf1bit, 200, yDpi);
        if (white) page.Fill(255);
        const QString path = dir.filePath(QStringLiteral("page.tif"));
        imaging::SaveTiff(page, path.toStdString(), false, imaging::tcGroup4, 0);
        prompts.filesToOpen << path;
        form->Open1Click();
        ASSERT_TRUE(form->Process1->isEnabled());
        setResult(skew, zones.data(), std::int32_t(zones.size() / 5));
        form->Process1Click();
    }

    void* module = nullptr;
    void (*setResult)(std::int32_t, const std::int32_t*, std::int32_t) = nullptr;
    void (*setStatus)(std::int32_t) = nullptr;
    LaDibHandle (*lastDib)() = nullptr;
    int (*contextsAlive)() = nullptr;
    FakePrompts prompts;
    QTemporaryDir dir;
    std::unique_ptr<TMainWindow> form;
};
