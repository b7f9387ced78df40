#include "export/norvo_block.h"

#include <array>
#include <cmath>

#include "sources/source_traits.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

using Values = std::array<double, 6>;

Values readValues(NorvoValueReader& in, int count) {
    Values v{};
    for (int k = 0; k < count; ++k) v[static_cast<std::size_t>(k)] = in.nextNumber();
    return v;
}

std::string valuesRecord(const Values& v, int count) {
    std::string record;
    for (int k = 0; k < count; ++k) {
        if (k > 0) record += ',';
        record += numberValue(v[static_cast<std::size_t>(k)]);
    }
    return record + "\r\n";
}

double roundedTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return static_cast<double>(roundHalfEven(value * scale)) / scale;
}

// The quotient, or 0 where the divisor is 0: a zero time of test has no rate.
double rateOf(double amount, double time) {
    return time == 0 ? 0 : amount / time;
}

std::string specimenText(int specimen) {
    return "specimen " + std::to_string(specimen);
}

}  // namespace

double rateField(const Session& s, int specimen, int rateMode) {
    const double time = s.header.TimeOrRate(specimen);
    const double travel = s.pass.FinalDisp(specimen);
    switch (rateMode) {
        case 1:
            return rateOf(travel, time);
        case 2:
            return roundedTo(time, time < 0.001 ? 4 : 3);
        case 3: {
            const double height = readNumber(s.header.HeightText);
            return height == 0 ? 0 : rateOf(travel * 100 / height, time);
        }
        default:
            return 0;
    }
}

void NorvoBlockWriter::beginSpecimen(Session& s, Operator& op) {
    try {
        writeBlockHead(s);
    } catch (const ExportError& error) {
        op.showMessage(errorText(error), "Error writing NORVO file in ExportSpecimenData",
                       MessageIcon::None);
        throw ExportAbandoned{};
    }
}

void NorvoBlockWriter::writeBlockHead(Session& s) {
    const int n = s.specimens.CurrentSpecimen;
    const SourceTraits& traits = traitsOf(s.settings);
    specimen_ = n;
    written_ = 0;
    open_ = exportOpenFor(s);
    s.pass.ExportOpen = open_;
    NorvoValueReader& in = file_.templateIn();

    // Record 1: the count of reading lines less one, 1, 0, 0, and the template's fifth value.
    const std::int16_t c = in.nextInt16();
    if (c < -1)
        throw ExportError{0, "The template's block " + std::to_string(n) +
                                 " announces a negative number of readings"};
    in.nextNumber();
    in.nextInt16();
    in.nextInt16();
    const double t5 = in.nextNumber();
    // The export refuses beforehand any count that does not fit; this cannot throw.
    const std::int64_t count =
        open_ ? checkedInt16(s.specimens.ReadingsToWrite(n) - 1, "The reading count") : c;
    file_.write(norvoRecord({flagOrIntValue(count), numberValue(1), flagOrIntValue(0),
                             flagOrIntValue(0), numberValue(t5)}));
    for (int r = 2; r <= 3; ++r) file_.write(valuesRecord(readValues(in, 5), 5));

    // Record 4: normal value, f2, t3, t4, rate.
    const Values t = readValues(in, 5);
    double& rate = s.header.TimeOrRate(n);
    double& normal = s.header.NormalStress(n);
    if (!traits.keepsResultRate) rate = rateField(s, n, s.pass.RateMode);
    if (!open_) {
        rate = t[4];
        normal = t[0];
    }
    const double f2 = traits.startTimeInRecord4 ? s.pass.TimeField(n) : t[1];
    if (s.header.NormalIsLoad) normal = 0;
    file_.write(valuesRecord({normal, f2, t[2], t[3], rate}, 5));

    for (int r = 5; r <= 10; ++r) {
        Values v = readValues(in, 6);
        if (r == 6) {
            if (open_) v[2] = 0;
            if ((open_ && s.settings.HUMFTHSD) || traits.alwaysWritesWeightAndGravity) {
                v[4] = readNumber(s.header.SampleWeight);
                v[5] = readNumber(s.header.SpecificGravity);
            }
        } else if (r == 7 && open_ && (!traits.fullTransferOption || s.settings.HUMFTHSD)) {
            if (traits.specimenSize == NorvoSpecimenSize::DiameterFromArea) {
                const double area = s.header.SpecimenArea(n);
                if (area < 0) throw ExportError{5, "Invalid procedure call or argument"};
                v[0] = std::sqrt(area * 4 / 3.141592654);  // the diameter
            } else if (traits.specimenSize == NorvoSpecimenSize::DiameterAndHeight) {
                v[0] = readNumber(s.header.DiameterText);
                v[2] = readNumber(s.header.HeightText);
            }
        }
        file_.write(valuesRecord(v, 6));
    }
    file_.write(valuesRecord(readValues(in, 2), 2));

    // The template's readings: kept in a block that is not open, else replaced by the pass's.
    for (std::int64_t i = 0; i <= c; ++i) {
        const Values reading = readValues(in, 3);
        if (!open_) file_.write(valuesRecord(reading, 3));
    }
    expected_ = open_ ? count + 1 : 0;
}

void NorvoBlockWriter::writeReading(const std::string& line) {
    if (!open_)
        throw ExportError{
            0, "A reading of " + specimenText(specimen_) + " came while its block was not open"};
    if (written_ >= expected_)
        throw ExportError{0, "The block of " + specimenText(specimen_) + " announces " +
                                 std::to_string(expected_) +
                                 " readings, but the reading pass wrote more: the D/A file or "
                                 "the settings changed after the file was read"};
    file_.writeLine(line);
    ++written_;
}

void NorvoBlockWriter::endSpecimen() {
    if (open_ && written_ != expected_)
        throw ExportError{0, "The block of " + specimenText(specimen_) + " announces " +
                                 std::to_string(expected_) +
                                 " readings, but the reading pass wrote " +
                                 std::to_string(written_) +
                                 ": the D/A file or the settings changed after the file was read"};
    open_ = false;
}

}  // namespace plovix
