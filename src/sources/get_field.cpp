#include "sources/get_field.h"

#include "sources/field_math.h"
#include "sources/source_table.h"

namespace plovix {

namespace {
// Blank-separated layouts: a line without a blank is no reading.
bool blankNeeded(const Session& s, const SourceLayout& layout) {
    return layout.traits->readingsHoldBlanks && !s.header.TouchScreenFile;
}
}  // namespace

PlainFields::PlainFields(const Session& s) {
    const SourceLayout* layout = findSource(s.settings.SourceType);
    if (layout == nullptr) return;
    blankNeeded_ = blankNeeded(s, *layout);
    if (layout->plainField == nullptr) return;
    for (int n = 1; n < kFields; ++n)
        fields_[static_cast<std::size_t>(n)] = layout->plainField(s, n);
}

FieldValue fGetField(Session& s, Operator& op, std::string_view line, int n) {
    return fGetField(s, op, LineColumns(line), n);
}

FieldValue fGetField(Session& s, Operator& op, const LineColumns& line, int n) {
    if (n < 1) return FieldValue::none();
    const SourceLayout* layout = findSource(s.settings.SourceType);
    if (layout == nullptr || (blankNeeded(s, *layout) && !line.hasBlank()))
        return FieldValue::none();
    try {
        return layout->field(s, s.fields, line, n);
    } catch (const FieldError& e) {
        op.showMessage("Error: " + std::to_string(e.number) + " - " + e.description +
                           "   Field N=" + std::to_string(n),
                       "Error in fGetField", MessageIcon::None);
    } catch (const UnsupportedField&) {
        op.showMessage("error in fGetField", kProgramName, MessageIcon::None);
    }
    return FieldValue::none();
}

}  // namespace plovix
