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
    EXPECT_EQ(evalia::ZoneListEntry(0), QStringLiteral("Zone 0"));
    EXPECT_EQ(evalia::ZoneListEntry(17), QStringLiteral("Zone 17"));
}

} // namespace
