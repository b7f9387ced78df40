#include "app/session.h"

#include <stdexcept>

namespace plovix {

std::int16_t checkedInt16(std::int64_t value, const std::string& what) {
    if (value > kInt16Max || value < kInt16Min) {
        throw std::range_error(what + " is " + std::to_string(value) +
                               ", which does not fit the Norvo data file (at most " +
                               std::to_string(kInt16Max) + ").");
    }
    return static_cast<std::int16_t>(value);
}

std::string stressUnitName(const Session& s, int code) {
    const int index = code + 1;
    if (index < 0 || index > s.program.StressUnits.upper()) return "";
    return s.program.StressUnits(index);
}

void fillStressUnitNames(ProgramState& program) {
    static const char* const kStress[] = {"psi", "ksi", "psf", "ksf", "tsf", "kPa", "MPa", "ksc"};
    for (int code = 1; code <= 8; ++code) program.StressUnits(code + 1) = kStress[code - 1];
}

void resetForNewTest(Session& s) {
    for (int sp = 1; sp <= kMaxSpecimen; ++sp)
        for (int r = 1; r <= kMaxRun; ++r)
            for (int c = 1; c <= kMaxCycle; ++c) s.cycles.UseCycle(sp, r, c) = 1;
    s.specimens.SpecimenCount = 0;
    s.specimens.CurrentSpecimen = 1;
    s.specimens.CurRun = 1;
    s.program.TestType = s.settings.LTTU;
    s.program.NeedSetup = true;
}

}  // namespace plovix
