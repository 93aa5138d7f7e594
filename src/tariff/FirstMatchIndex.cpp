#include "tariff/FirstMatchIndex.h"

#include <algorithm>

namespace miradel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

void FirstMatchIndex::Add(std::string_view text) {
    const uint32_t position = count_++;
    if (firstStar_ != kAbsent) {
        return;  // a '*' text above this one already catches every subject
    }
    if (!text.empty() && text[0] == '*') {
        firstStar_ = position;
        return;
    }
    if (!std::all_of(text.begin(), text.end(), IsDigit)) {
        others_.emplace_back(position, std::string(text));
        return;
    }
    uint32_t node = 0;
    for (char c : text) {
        const int digit = c - '0';
        if (nodes_[node].child[digit] == kAbsent) {
            nodes_[node].child[digit] = static_cast<uint32_t>(nodes_.size());
            nodes_.emplace_back();
        }
        node = nodes_[node].child[digit];
    }
    if (nodes_[node].first == kAbsent) {
        nodes_[node].first = position;  // a repeated text never wins over its first copy
    }
}

void FirstMatchIndex::Clear() {
    nodes_.assign(1, Node{});
    firstStar_ = kAbsent;
    others_.clear();
    count_ = 0;
}

int32_t FirstMatchIndex::Find(std::string_view subject) const {
    uint32_t best = firstStar_;
    uint32_t node = 0;
    for (std::size_t i = 0;; ++i) {
        best = std::min(best, nodes_[node].first);
        if (i == subject.size() || !IsDigit(subject[i])) {
            break;
        }
        node = nodes_[node].child[subject[i] - '0'];
        if (node == kAbsent) {
            break;
        }
    }
    for (const auto& [position, text] : others_) {
        if (position >= best) {
            break;
        }
        if (subject.starts_with(text)) {
            best = position;
            break;
        }
    }
    return best == kAbsent ? kNone : static_cast<int32_t>(best);
}

}  // namespace miradel
