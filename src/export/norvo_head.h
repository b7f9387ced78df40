#pragma once
// The head of the Norvo data file (`fSetupExportFile`): the template's first text, the 29
// header fields with the D/A file's texts put in, the test record, four records copied from the
// template and the unit record. For the DOS target also the defaults of NV.DDT and the new
// state of the DOS index.

#include <array>
#include <memory>
#include <string>

#include "app/operator.h"
#include "app/session.h"
#include "export/norvo_defaults.h"
#include "export/norvo_output.h"

namespace plovix {

inline constexpr const char* kNorvoTemplateFileName = "NVNEW.NDT";
inline constexpr int kHeaderFieldCount = 29;

// The test method of the head for test type `testType`.
struct TestMethod {
    int code = 0;             // the test record's method code
    std::string name;         // header field 26
    int directShearFlag = 0;  // the test record's Direct Shear flag; field 28 "Yes" unless 0
};
TestMethod testMethodFor(int testType, const NorvoDefaults& defaults);

// Header field `field` (1..29) of the head: the D/A file's text where the source supplies one,
// else the template's text.
std::string headerField(const Session& s, int field, const std::string& templateText,
                        const TestMethod& method);

// The unit record u1..u7 (index 0 is not used) for the session's source and the file's units.
std::array<int, 8> unitRecordFor(const Session& s, const NorvoDefaults& defaults);

// Starts the new Norvo file: sets ProgFolder and RateMode, finds the template, reads the
// defaults, works out the DOS index, and writes the head. Returns the file with the template
// positioned at the first specimen block, or nullptr after the failure's message.
std::unique_ptr<NorvoOutput> fSetupExportFile(Session& s, Operator& op, const ExportFiles& files);

}  // namespace plovix
