#include <gtest/gtest.h>

#include "sources/units.h"

namespace plovix {
namespace {

using Texts = std::vector<std::string>;

// The value fKeyValue finds, or "-" and the value left alone when it finds no label.
std::string keyValue(const char* line, const char* label, int length, bool numeric) {
    std::string v = "earlier";
    return fKeyValue(v, line, label, length, numeric) ? v : "-" + v;
}

TEST(KeyValue, NumbersAndTextsAfterTheLabel) {
    // A number: the first digit at or after the label (the sign and the point of "-.5" are
    // skipped), at most `length` characters, "0" when there is none.
    EXPECT_EQ((Texts{keyValue("Sample Dia: 2.416 in", "Sample Dia:", 15, true),
                     keyValue("Normal Pressure -.5 ksf", "Normal Pressure", 15, true),
                     keyValue("Area: 12.5000000 sq in", "Area:", 4, true),
                     keyValue("Weight:", "Weight:", 10, true)}),
              (Texts{"2.416", "5", "12.5", "0"}));
    // A text: blanks, points and colons skipped, at most `length` characters.
    EXPECT_EQ((Texts{keyValue("Client:     ACME Soils Laboratory of the North County Ltd",
                              "Client:", 34, false),
                     keyValue("Job No. : 42", "Job No", 10, false),
                     keyValue("Tested by", "Tested by", 10, false)}),
              (Texts{"ACME Soils Laboratory of the North", "42", ""}));
    // An absent label (case matters) leaves the value alone; an empty one is found at once.
    EXPECT_EQ(
        (Texts{keyValue("Something else", "Client:", 34, false),
               keyValue("client: x", "Client:", 34, false), keyValue("7 units", "", 5, true)}),
        (Texts{"-earlier", "-earlier", "7"}));
}

TEST(Units, ParensAndUnitWords) {
    Texts stripped;
    for (std::string b : {"(psi)", "(psi", "psi)", ""}) {
        fStripParens(b);
        stripped.push_back(b);
    }
    EXPECT_EQ(stripped, (Texts{"psi", "psi", "psi", ""}));
    EXPECT_EQ(
        (std::vector{fStressUnits("kPa"), fStressUnits("kPa "), fStressUnits("psi"),
                     fStressUnits("KSC"), fStressUnits("tsf"), fStressUnits(""), fLoadUnits("lbf"),
                     fLoadUnits("Lb"), fLoadUnits("kN"), fLoadUnits("N"), fDispUnits("in"),
                     fDispUnits("cm"), fDispUnits("MM"), fDispUnits("inch")}),
        (std::vector{6, -1, 1, 8, 5, -1, 1, 1, 2, -1, 1, 2, 3, -1}));
}

TEST(Units, RangeBeforeTheUnitWord) {
    const std::string line = "Channel 1 Travel 0.500 in";
    long long j = static_cast<long long>(line.find(" in")) + 1;  // on the blank before "in"
    EXPECT_FLOAT_EQ(ftmpMax(j, line), 0.5f);
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

}  // namespace
}  // namespace plovix
