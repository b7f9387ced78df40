#pragma once
// The value of one field of a reading line: a number for a channel, a text for a time stamp,
// or a small whole number: -1 when the line holds no value for the field (0 in the two places
// where a source gives 0 instead).

#include <string>

namespace plovix {

class FieldValue {
  public:
    enum class Kind { Integer, Number, Text };

    static FieldValue none() { return integer(-1); }
    static FieldValue integer(int v) { return FieldValue(Kind::Integer, v, 0.0, {}); }
    // Built in place: every reading asks for several numbers.
    static FieldValue number(double v) {
        FieldValue f;
        f.kind_ = Kind::Number;
        f.number_ = v;
        return f;
    }
    static FieldValue text(std::string v) { return FieldValue(Kind::Text, 0, 0.0, std::move(v)); }

    Kind kind() const { return kind_; }
    // True for the "no value" result -1.
    bool isNone() const { return kind_ == Kind::Integer && integer_ == -1; }
    // The value as a number: a text is read by the system's number rule.
    double toNumber() const { return kind_ == Kind::Number ? number_ : otherToNumber(); }
    // The value as text: numbers in "General Number".
    std::string toText() const;

    bool operator==(const FieldValue&) const = default;

  private:
    FieldValue() = default;
    FieldValue(Kind k, int i, double d, std::string t)
        : kind_(k), integer_(i), number_(d), text_(std::move(t)) {}
    double otherToNumber() const;

    Kind kind_ = Kind::Integer;
    int integer_ = 0;
    double number_ = 0.0;
    std::string text_;
};

}  // namespace plovix
