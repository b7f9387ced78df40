#pragma once
// Fixed-size state tables indexed the way the test state is described: per specimen 0..4,
// per (run, cycle) 0..10, per (specimen, run, cycle). Every access is bounds-checked, so a
// wrong index is an exception at the place it happens, never a write into a neighbour.

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace plovix {

inline constexpr int kMaxSpecimen = 4;  // specimens 1..4; index 0 exists but is not used
inline constexpr int kMaxRun = 10;      // runs 1..10 in one file
inline constexpr int kMaxCycle = 10;    // cycles 1..10 in one run

[[noreturn]] inline void throwIndexError(const char* table, long long index, long long upper) {
    throw std::out_of_range(std::string(table) + ": index " + std::to_string(index) +
                            " outside 0.." + std::to_string(upper));
}

inline void checkIndex(const char* table, long long index, long long upper) {
    if (index < 0 || index > upper) throwIndexError(table, index, upper);
}

// A one-dimensional table with indexes 0..Upper.
template <typename T, int Upper>
class Table1 {
  public:
    T& operator()(long long i) {
        checkIndex("table", i, Upper);
        return cells_[static_cast<std::size_t>(i)];
    }
    const T& operator()(long long i) const {
        checkIndex("table", i, Upper);
        return cells_[static_cast<std::size_t>(i)];
    }
    static constexpr int upper() { return Upper; }
    void fill(const T& value) { cells_.fill(value); }

  private:
    std::array<T, Upper + 1> cells_{};
};

// Per-specimen values: indexes 0..4, used from 1.
template <typename T>
using SpecimenTable = Table1<T, kMaxSpecimen>;

// (run, cycle) tables, 0..10 x 0..10.
template <typename T>
class RunCycleTable {
  public:
    T& operator()(long long r, long long c) {
        checkIndex("run", r, kMaxRun);
        checkIndex("cycle", c, kMaxCycle);
        return cells_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    }
    const T& operator()(long long r, long long c) const {
        return const_cast<RunCycleTable*>(this)->operator()(r, c);
    }
    void fill(const T& value) {
        for (auto& row : cells_) row.fill(value);
    }

  private:
    std::array<std::array<T, kMaxCycle + 1>, kMaxRun + 1> cells_{};
};

// (specimen, run) tables, 0..4 x 0..10.
template <typename T>
class SpecimenRunTable {
  public:
    T& operator()(long long s, long long r) {
        checkIndex("specimen", s, kMaxSpecimen);
        checkIndex("run", r, kMaxRun);
        return cells_[static_cast<std::size_t>(s)][static_cast<std::size_t>(r)];
    }
    const T& operator()(long long s, long long r) const {
        return const_cast<SpecimenRunTable*>(this)->operator()(s, r);
    }
    void fill(const T& value) {
        for (auto& row : cells_) row.fill(value);
    }

  private:
    std::array<std::array<T, kMaxRun + 1>, kMaxSpecimen + 1> cells_{};
};

// (specimen, run, cycle) tables, 0..4 x 0..10 x 0..10.
template <typename T>
class SpecimenRunCycleTable {
  public:
    T& operator()(long long s, long long r, long long c) {
        checkIndex("specimen", s, kMaxSpecimen);
        return runs_[static_cast<std::size_t>(s)](r, c);
    }
    const T& operator()(long long s, long long r, long long c) const {
        checkIndex("specimen", s, kMaxSpecimen);
        return runs_[static_cast<std::size_t>(s)](r, c);
    }
    void fill(const T& value) {
        for (auto& t : runs_) t.fill(value);
    }

  private:
    std::array<RunCycleTable<T>, kMaxSpecimen + 1> runs_{};
};

}  // namespace plovix
