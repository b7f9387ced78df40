#include "sources/field_value.h"

#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

double FieldValue::otherToNumber() const {
    switch (kind_) {
        case Kind::Integer:
            return integer_;
        case Kind::Number:
            return number_;
        case Kind::Text:
            return readNumber(text_);
    }
    return 0.0;
}

std::string FieldValue::toText() const {
    switch (kind_) {
        case Kind::Integer:
            return std::to_string(integer_);
        case Kind::Number:
            return formatGeneralNumber(number_);
        case Kind::Text:
            return text_;
    }
    return {};
}

}  // namespace plovix
