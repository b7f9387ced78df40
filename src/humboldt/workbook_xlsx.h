#pragma once
// The cells of an Excel workbook in Office Open XML (.xlsx), once its zip container has been
// opened (workbook_open.cpp): the parts are handed in by name.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "humboldt/workbook.h"

namespace plovix {

// The bytes of a part ("xl/workbook.xml", no leading "/"), or nothing when the package has no
// such part. May throw WorkbookError when a part cannot be unpacked.
using XlsxPartReader = std::function<std::optional<std::string>(const std::string& partName)>;

// Follows the package relationships to the workbook part, takes the sheets in the order of its
// <sheets> list and reads each worksheet's cells: shared strings, inline strings, numbers,
// booleans, error values and formulas' cached results (<c t="s|str|inlineStr|b|e|n"> with
// <v>). A formula without a cached result is an empty cell. Throws WorkbookError 432 when a
// part is missing or is not the XML it should be.
std::unique_ptr<StoredWorkbook> readXlsxWorkbook(const XlsxPartReader& readPart);

}  // namespace plovix
