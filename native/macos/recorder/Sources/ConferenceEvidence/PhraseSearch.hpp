#pragma once

// Table tests shared by the module's sources; not part of the library's interface.

#include <string>
#include <string_view>
#include <vector>

#include "Text/Text.hpp"

namespace ConferenceEvidence::PhraseSearch {

// The first list in its order, then the second.
template <typename Test>
bool anyOf(const std::vector<std::string>& first, const std::vector<std::string>& second, Test test) {
    for (const auto& text : first) {
        if (test(text)) return true;
    }
    for (const auto& text : second) {
        if (test(text)) return true;
    }
    return false;
}

inline std::string joinedWithSpaces(const std::vector<std::string>& first,
                                    const std::vector<std::string>& second) {
    std::vector<std::string> all;
    all.reserve(first.size() + second.size());
    all.insert(all.end(), first.begin(), first.end());
    all.insert(all.end(), second.begin(), second.end());
    return Text::joinedWithSpaces(all);
}

}  // namespace ConferenceEvidence::PhraseSearch
