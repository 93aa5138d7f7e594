#pragma once
// Finds, without walking the list, the first text of a list that matches a subject, where a
// text matches when it begins with '*' or when the subject begins with it. This is the rule of
// both the prefix table and the code files; the answer is always the one the walk in list
// order gives, so the order of the files stays the pricing priority.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace miradel {

class FirstMatchIndex {
  public:
    static constexpr int32_t kNone = -1;

    // Texts are added in list order; the first gets position 0.
    void Add(std::string_view text);
    void Clear();

    // Position of the first matching text, or kNone. Allocates nothing.
    int32_t Find(std::string_view subject) const;

    std::size_t NodeCount() const { return nodes_.size(); }

  private:
    static constexpr uint32_t kAbsent = UINT32_MAX;

    // A digit trie: each node marks the earliest text that ends there.
    struct Node {
        std::array<uint32_t, 10> child;
        uint32_t first = kAbsent;
        Node() { child.fill(kAbsent); }
    };

    std::vector<Node> nodes_ = std::vector<Node>(1);
    uint32_t firstStar_ = kAbsent;  // earliest text beginning with '*'; it matches everything
    // Texts with a character other than a digit (never met in a sound table), in list order.
    std::vector<std::pair<uint32_t, std::string>> others_;
    uint32_t count_ = 0;
};

}  // namespace miradel
