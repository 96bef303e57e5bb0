#pragma once
// Counts as a player reads them: "1,225", "4,881,520".

#include <wx/string.h>

#include <cstdint>

namespace varnel {

inline wxString groupedNumber(std::int64_t n) {
    const wxString digits = wxString::Format("%lld", static_cast<long long>(n));
    wxString out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0 && digits[i - 1] != '-') out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace varnel
