#include <gtest/gtest.h>

#include "sources/units.h"
#include "support/recording_operator.h"

namespace plovix {
namespace {

TEST(KeyValue, NumericModeFindsTheFirstNumberAtOrAfterTheLabel) {
    std::string v;
    EXPECT_TRUE(fKeyValue(v, "Sample Dia: 2.416 in", "Sample Dia:", 15, true));
    EXPECT_EQ(v, "2.416");
    EXPECT_TRUE(fKeyValue(v, "Normal Pressure -.5 ksf", "Normal Pressure", 15, true));
    EXPECT_EQ(v, "5");  // the sign and the point are skipped on the way to the first digit
    EXPECT_TRUE(fKeyValue(v, "Area: 12.5000000 sq in", "Area:", 4, true));
    EXPECT_EQ(v, "12.5");  // at most four characters taken
    EXPECT_TRUE(fKeyValue(v, "Weight:", "Weight:", 10, true));
    EXPECT_EQ(v, "0");
}

TEST(KeyValue, TextModeSkipsBlanksPointsAndColons) {
    std::string v;
    EXPECT_TRUE(fKeyValue(v, "Client:     ACME Soils Laboratory of the North County Ltd",
                          "Client:", 34, false));
    EXPECT_EQ(v, "ACME Soils Laboratory of the North");
    EXPECT_TRUE(fKeyValue(v, "Job No. : 42", "Job No", 10, false));
    EXPECT_EQ(v, "42");
    EXPECT_TRUE(fKeyValue(v, "Tested by", "Tested by", 10, false));
    EXPECT_EQ(v, "");
}

TEST(KeyValue, AnAbsentLabelLeavesTheValueAlone) {
    std::string v = "earlier";
    EXPECT_FALSE(fKeyValue(v, "Something else", "Client:", 34, false));
    EXPECT_FALSE(fKeyValue(v, "client: x", "Client:", 34, false));  // case matters
    EXPECT_EQ(v, "earlier");
    EXPECT_TRUE(fKeyValue(v, "7 units", "", 5, true));  // an empty label is found at once
    EXPECT_EQ(v, "7");
}

TEST(Units, ParensAndUnitWords) {
    std::string b = "(psi)";
    fStripParens(b);
    EXPECT_EQ(b, "psi");
    b = "(psi";
    fStripParens(b);
    EXPECT_EQ(b, "psi");
    b = "psi)";
    fStripParens(b);
    EXPECT_EQ(b, "psi");
    b = "";
    fStripParens(b);
    EXPECT_EQ(b, "");

    EXPECT_EQ(fStressUnits("kPa"), 6);
    EXPECT_EQ(fStressUnits("kPa "), -1);
    EXPECT_EQ(fStressUnits("psi"), 1);
    EXPECT_EQ(fStressUnits("KSC"), 8);
    EXPECT_EQ(fStressUnits("tsf"), 5);
    EXPECT_EQ(fStressUnits(""), -1);
    EXPECT_EQ(fLoadUnits("lbf"), 1);
    EXPECT_EQ(fLoadUnits("Lb"), 1);
    EXPECT_EQ(fLoadUnits("kN"), 2);
    EXPECT_EQ(fLoadUnits("N"), -1);
    EXPECT_EQ(fDispUnits("in"), 1);
    EXPECT_EQ(fDispUnits("cm"), 2);
    EXPECT_EQ(fDispUnits("MM"), 3);
    EXPECT_EQ(fDispUnits("inch"), -1);
}

TEST(Units, RangeBeforeTheUnitWord) {
    const std::string line = "Channel 1 Travel 0.500 in";
    long long j = static_cast<long long>(line.find(" in")) + 1;  // on the blank before "in"
    EXPECT_FLOAT_EQ(ftmpMax(j, line), 0.5f);
    EXPECT_EQ(line[static_cast<std::size_t>(j - 1)], ' ');
    EXPECT_EQ(line.substr(static_cast<std::size_t>(j)), "0.500 in");

    // A number at the very start: the walk stops at the start of the line, never before it.
    long long k = 4;
    EXPECT_FLOAT_EQ(ftmpMax(k, "250 lbs"), 250.0f);
    EXPECT_EQ(k, 0);
    long long zero = 0;
    EXPECT_FLOAT_EQ(ftmpMax(zero, "12"), 0.0f);
    long long past = 40;
    EXPECT_FLOAT_EQ(ftmpMax(past, "x 12"), 12.0f);
}

TEST(Units, FilterNotesText) {
    testing::RecordingOperator op;
    FilterNotes(op);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].title, "Plovix");
    EXPECT_NE(op.messages[0].text.find("per specimen.Increase either"), std::string::npos);
    EXPECT_NE(op.messages[0].text.find("qualifying readings.  For repeated"), std::string::npos);
}

}  // namespace
}  // namespace plovix
