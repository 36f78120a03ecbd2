// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/pointer_readout.h"
#include "evalia/process_report.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

class ProcessReport : public testing::Test {
  protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(ProcessReport, ReportTextGivesCountAndAngleInDegrees) {
    EXPECT_EQ(evalia::ProcessReportText(12, 0),
              QString::fromUtf8("12 zones found.\r\nSkew angle is 0\u00B0."));
    EXPECT_EQ(evalia::ProcessReportText(0, -143),
              QString::fromUtf8("0 zones found.\r\nSkew angle is -1.43\u00B0."));
    EXPECT_EQ(evalia::ProcessReportText(3, 150),
              QString::fromUtf8("3 zones found.\r\nSkew angle is 1.5\u00B0."));
}

TEST_F(ProcessReport, GeneralFormatUsesTheUsersSeparatorWithoutGrouping) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(evalia::GeneralFloatText(-1.43), QStringLiteral("-1,43"));
    EXPECT_EQ(evalia::GeneralFloatText(21474836.47), QStringLiteral("21474836,47"));
}

TEST_F(ProcessReport, ZoneListEntriesAreNumberedFromZero) {
    EXPECT_EQ(evalia::ZoneListEntry(12, {156, 204, 890, 260, LA_CONTENT_TEXT}),
              QStringLiteral("12 Text 156,204-890,260"));
    EXPECT_EQ(evalia::ZoneListEntry(0, {0, 0, 5, 7, 9}), QStringLiteral("0 Noise 0,0-5,7"));
}

} // namespace

TEST(PointerReadout, NamesThePointAndEachZoneThere) {
    const std::vector<zones::ZoneRecord> zones{{0, 0, 10, 10, LA_CONTENT_TEXT},
                                               {0, 0, 50, 50, LA_CONTENT_TABLE}};
    EXPECT_EQ(evalia::PointerReadout({60, 70}, zones, {}), QStringLiteral("x 60, y 70"));
    EXPECT_EQ(evalia::PointerReadout({5, 5}, zones, {0, 1}),
              QStringLiteral("x 5, y 5  |  zone 0 Text, zone 1 Table"));
}
