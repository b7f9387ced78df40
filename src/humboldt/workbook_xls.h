#pragma once
// The cells of an Excel 97-2003 workbook (.xls): the BIFF8 records of its "Workbook" stream,
// once the OLE2 container has been opened (workbook_open.cpp).

#include <memory>
#include <string_view>

#include "humboldt/workbook.h"

namespace plovix {

// Reads the sheets (BOUNDSHEET, in their order) and the cells of each worksheet: shared
// strings (SST with its CONTINUE records), LABELSST, LABEL, RSTRING, NUMBER, RK, MULRK, BOOLERR
// and FORMULA with its cached result (a text result from the STRING record after it). Throws
// WorkbookError 432 for an Excel 5.0/95 or older stream, an encrypted one (FILEPASS) and for
// any record that runs past its end or points outside the stream.
std::unique_ptr<StoredWorkbook> readBiff8Workbook(std::string_view workbookStream);

}  // namespace plovix
