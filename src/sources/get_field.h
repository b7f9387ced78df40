#pragma once

#include <array>
#include <cmath>
#include <string_view>

#include "app/operator.h"
#include "app/session.h"
#include "sources/columns.h"
#include "sources/field_value.h"
#include "text/line_columns.h"

namespace plovix {

// Value of field n of a reading line of the current source (1 displacement, 2 load,
// 3 auxiliary channel, 4 time stamp, 5 cell or normal pressure); -1 when the line holds none.
// A division by zero or an overflow is shown as "Error in fGetField" and gives -1; a field
// number the source does not have is shown as "error in fGetField".
FieldValue fGetField(Session& s, Operator& op, std::string_view line, int n);
// The same for a line whose columns are found once for all its fields.
FieldValue fGetField(Session& s, Operator& op, const LineColumns& line, int n);

// The fields of the current source that are plain numbers of a column or word (the source's
// `plainField`), for a pass over the readings of one file: such a field is read straight from
// each line, without the call of fGetField, which would give the same number. Made once the
// header has been read, as the plain fields depend on it.
class PlainFields {
  public:
    PlainFields() = default;
    explicit PlainFields(const Session& s);

    // True, with the number that fGetField gives, when field n of the line is a plain one and
    // its number is finite; otherwise fGetField must be asked (it also shows any message).
    bool read(const LineColumns& line, int n, double& value) const {
        if (n < 1 || n >= kFields) return false;
        const PlainField& f = fields_[static_cast<std::size_t>(n)];
        if (f.kind == PlainField::Kind::None || (blankNeeded_ && !line.hasBlank())) return false;
        value = plainNumber(line, f);
        return std::isfinite(value);
    }

  private:
    static constexpr int kFields = 6;  // fields 1 to 5
    std::array<PlainField, kFields> fields_{};
    bool blankNeeded_ = false;
};

}  // namespace plovix
