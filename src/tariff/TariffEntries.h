#pragma once
// The records of the tariff tables and the list that owns them. Each list is singly linked in
// file order through the records' own `next`; the records themselves live in a deque, so they
// never move once appended and the indexes may point at them by position.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace miradel {

inline constexpr int32_t kZoneFiles = 100;  // zone-file numbers 0..99
inline constexpr int kHours = 24;

// One line of prefix.dat.
struct Prefx {
    std::string text;            // prefix digits, or a text whose first character is '*'
    int32_t textLength = 0;      // characters of text
    int32_t zoneFile = 0;        // N: selects kz_N.dat and zt_N.dat
    int32_t numberLength = 0;    // digits a number with this prefix has
    int32_t analysisLength = 0;  // dialled digits after which the number can be priced
    Prefx* next = nullptr;
};

// One line of a code file kz_N.dat.
struct KZona {
    std::string code;  // digits after the prefix, or a text whose first character is '*'
    int32_t zone = -1;
    std::string name;  // Windows-1251 as in the file, without its line end; no lookup uses it
    KZona* next = nullptr;
    int32_t zoneFile = -1;  // N of the file the entry came from
};

// One two-line record of a tariff file zt_N.dat. Prices are hundredths per minute.
struct ZonaTarif {
    int32_t zone = -1;
    std::array<int32_t, kHours> ordinary{};
    std::array<int32_t, kHours> preferential{};
    ZonaTarif* next = nullptr;
};

template <typename T>
class EntryList {
  public:
    EntryList() = default;
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // Appends at the tail; `line` is the line of the file the entry starts on.
    T& Append(T entry, int32_t line) {
        entry.next = nullptr;
        T& added = entries_.emplace_back(std::move(entry));
        if (entries_.size() > 1) {
            entries_[entries_.size() - 2].next = &added;
        }
        lines_.push_back(line);
        return added;
    }

    void Clear() {
        entries_.clear();
        lines_.clear();
    }

    const T* Head() const { return entries_.empty() ? nullptr : &entries_.front(); }
    std::size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const T& operator[](std::size_t i) const { return entries_[i]; }
    int32_t LineOf(std::size_t i) const { return lines_[i]; }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

  private:
    std::deque<T> entries_;
    std::vector<int32_t> lines_;
};

}  // namespace miradel
