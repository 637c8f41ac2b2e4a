// Removing the selected rows of a list from the table it shows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <set>
#include <vector>

namespace quillon::pages {

/// Keeps the entries of `table[0..count)` whose index is not in `rows`, closed
/// up in order, and returns how many were removed. Entries at and after the
/// new count keep whatever they held.
template <class Table>
std::size_t RemoveRows(Table& table, std::size_t count, const std::vector<int>& rows) {
    const std::set<int> doomed(rows.begin(), rows.end());
    count = std::min(count, table.size());
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (doomed.count(static_cast<int>(i)) == 0) {
            table[kept++] = table[i];
        }
    }
    return count - kept;
}

}  // namespace quillon::pages
