#pragma once
// The specimen blocks of the Norvo data file (`ExportSpecimenData`). A block's head is read
// from the template's block and written with the specimen's values; its reading lines are the
// template's when the block is not open, else the lines the reading pass hands in, whose number
// must be the count its head announced.

#include <cstdint>
#include <string>

#include "app/operator.h"
#include "app/session.h"
#include "export/norvo_output.h"
#include "filter/reading_pass.h"

namespace plovix {

// The rate field of block `specimen` by rate mode: 1 displacement per minute, 2 the time of
// test rounded to 3 decimals (4 below 0.001), 3 percent strain per minute, else 0. A zero time
// or height gives 0.
double rateField(const Session& s, int specimen, int rateMode);

class NorvoBlockWriter : public ReadingSink {
  public:
    explicit NorvoBlockWriter(NorvoOutput& file) : file_(file) {}

    // Writes the block head of CurrentSpecimen and sets ExportOpen; a block that is not open
    // gets the template's readings too. On a failure shows "Error writing NORVO file in
    // ExportSpecimenData" and throws ExportAbandoned.
    void beginSpecimen(Session& s, Operator& op) override;
    // One reading line of the open block. Throws ExportError when no block is open or the
    // block has all the lines its count announced.
    void writeReading(const std::string& line) override;
    // The block is complete: throws ExportError when fewer lines came than its count announced.
    void endSpecimen();

  private:
    void writeBlockHead(Session& s);

    NorvoOutput& file_;
    int specimen_ = 0;
    bool open_ = false;
    std::int64_t expected_ = 0, written_ = 0;
};

}  // namespace plovix
