#pragma once
// The store of up to four specimens: opening a specimen's results column, making a specimen
// current, the operator's cycle ticks, the results a reading pass derives by each source's rule
// (time of test or rate, normal stress or cell pressure), and what the results column shows
// (the label texts, the colour of the "Readings to be written:" count, the changing headings).

#include <array>
#include <cstdint>
#include <string>

#include "app/session.h"
#include "sources/field_value.h"

namespace plovix {

// How a specimen's number label is drawn.
enum class SpecimenMark {
    Current,      // black and bold
    Imported,     // dark grey (0x55, 0x55, 0x55)
    NotImported,  // white
};
// Indexed by specimen 1..4; index 0 is not used.
using SpecimenMarks = std::array<SpecimenMark, kMaxSpecimen + 1>;

// What opening a column asks of the window.
struct NewColumn {
    int offsetTwips = 0;      // left edge right of specimen 1's column, in twips
    bool nextButton = false;  // the next specimen's "Select D/A File" button is created
};

// Opens the results column of CurrentSpecimen (2..4): every label of it empty, no readings to
// write; its skip boxes start as specimen 1's, as copies of specimen 1's controls.
NewColumn AddSpecimen(Session& s);

// Makes CurrentSpecimen the shown one: rebuilds DAFile from its folder and file name when it
// has been imported, and returns how each number label is drawn.
SpecimenMarks SetSpecimen(Session& s);
SpecimenMark specimenMark(const Session& s, int specimen);

// The "Used" totals of the cycle panel for CurrentSpecimen and CurRun.
struct CycleUse {
    int cycles = 0;
    std::int64_t readings = 0;
};
CycleUse usedCycles(const Session& s);

// The operator's "USE" tick of cycle `cycle` (1..10) of CurrentSpecimen and CurRun.
CycleUse tickCycle(Session& s, int cycle, bool ticked);

// The results column of CurrentSpecimen after the survey pass: cycles and readings in the
// file, the cycles and readings used, the initial repeats and the maximum load with its
// heading. In preview mode the three counts of the filter pass are cleared.
void ShowSurveyResults(Session& s, std::int64_t usedCycleCount);

// "Readings to be written:" with its colour, and the two criteria counts; also the count the
// export reads back.
void ShowReadingsToWrite(Session& s, std::int64_t dispCount, std::int64_t loadCount);

// Black when 0 < count < 100 or for the Windows Norvo; light red otherwise.
bool readingsToWriteInRed(std::int64_t count, bool windowsNorvo);

// The time of test or rate as shown: "0.0" from 0.1 up, "0.00" from 0.01 up, else "0.000".
std::string timeOrRateText(double value);

// TimeOrRate(CurrentSpecimen) by its source's rule, from the time stamps (field 4) of the first
// and the last reading and the travel between them; sets the heading where the rule names one.
// Throws DateTypeMismatch where a rule takes the difference of two texts that are no dates.
void SetTimeOrRate(Session& s, const FieldValue& startTime, const FieldValue& endTime,
                   double travel);

// NormalStress(CurrentSpecimen) by its source's rule, from the normal values summed over the
// written readings (NormalSum, NumToWrite, InsertZero). No reading to average over gives 0.
void SetNormalStress(Session& s);

// Shows TimeOrRate(CurrentSpecimen).
void ShowTimeOrRate(Session& s);

// Shows NormalStress(CurrentSpecimen) ("n/a" for 0, else "#.00" from 0.01 up, "#.000" below)
// and sets its heading; the value becomes the one shown, so later use sees the rounded value.
void ShowNormalStress(Session& s);

}  // namespace plovix
