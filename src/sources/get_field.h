#pragma once

#include <string_view>

#include "app/operator.h"
#include "app/session.h"
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

}  // namespace plovix
