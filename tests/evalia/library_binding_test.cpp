// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/analysis_session.h"
#include "evalia/quadrel_library.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> BuiltLibrary() {
    return evalia::DefaultLibraryCandidates(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
}

TEST(LibraryBinding, TheBuiltLibraryIsFoundNextToTheProgram) {
    evalia::TQuadrelLibrary library(BuiltLibrary());
    ASSERT_TRUE(library.IsBound()) << library.ErrorText();
    EXPECT_TRUE(library.ErrorText().empty());
    EXPECT_NE(library.LoadedFrom().find(
                  QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()),
              std::string::npos);
}

TEST(LibraryBinding, AMissingLibraryIsNamedAndLeavesTheSessionInert) {
    auto library = std::make_unique<evalia::TQuadrelLibrary>(
        std::vector<std::string>{"/nonexistent/libquadrel.so"});
    EXPECT_FALSE(library->IsBound());
    EXPECT_NE(library->ErrorText().find("libquadrel.so could not be loaded"), std::string::npos);

    evalia::TAnalysisSession session(std::move(library));
    EXPECT_FALSE(session.CanProcess());
    EXPECT_NE(session.UnavailableReason().find("libquadrel.so"), std::string::npos);
    EXPECT_EQ(session.Zones().zoneCount(), 0);
    EXPECT_EQ(session.SkewAngle(), 0);
    EXPECT_EQ(session.Execute(nullptr), 2);
}

TEST(LibraryBinding, ALibraryWithoutTheExportsNamesEveryMissingOne) {
    // Any shared library that is not Quadrel: the C library has none of them.
    evalia::TQuadrelLibrary library({"libc.so.6"});
    EXPECT_FALSE(library.IsBound());
    for (const char* name :
         {"LA_Init", "LA_Done", "LA_Execute", "LA_GetZonesCount", "LA_GetZoneRect",
          "LA_GetZoneContent", "LA_SetParameter", "LA_GetParameter"})
        EXPECT_NE(library.ErrorText().find(name), std::string::npos) << name;
    EXPECT_EQ(library.Exports().LA_Init, nullptr);
}

TEST(LibraryBinding, AFreshContextHasNoZones) {
    evalia::TAnalysisSession session(std::make_unique<evalia::TQuadrelLibrary>(BuiltLibrary()));
    ASSERT_TRUE(session.CanProcess()) << session.UnavailableReason();
    EXPECT_EQ(session.Zones().zoneCount(), 0);
    EXPECT_EQ(session.SkewAngle(), 0);
}

} // namespace
