// Breadth-first route search with parent links.
#include "game/rules/path_search.h"

#include <algorithm>
#include <array>

#include "game/rules/cells.h"

namespace kelvora {

bool FindPath(const Board& board, int32_t source, int32_t target, std::vector<int32_t>& route) {
    route.clear();
    if (!IsCell(source) || !IsCell(target) || source == target) return false;

    // 0: not reached yet, -1: the start, otherwise the cell it was first reached from.
    std::array<int32_t, kCellCount + 1> parent{};
    std::array<int32_t, kCellCount> queue{};
    size_t head = 0;
    size_t tail = 0;

    int32_t current = source;
    parent[source] = -1;
    for (;;) {
        const ColumnRow at = CellToColumnRow(current);
        const std::array<ColumnRow, 4> neighbours{{
            {at.column - 1, at.row},
            {at.column + 1, at.row},
            {at.column, at.row + 1},
            {at.column, at.row - 1},
        }};
        for (const ColumnRow& next : neighbours) {
            const int32_t n = ColumnRowToCell(next.column, next.row);
            if (n == -1) continue;
            if (n == target) {
                // Walk the parent links back; the route is built front to back afterwards.
                route.push_back(target);
                while (parent[current] != -1) {
                    route.push_back(current);
                    current = parent[current];
                }
                route.push_back(source);
                std::reverse(route.begin(), route.end());
                return true;
            }
            if (board[n] == kEmpty && parent[n] == 0) {
                queue[tail++] = n;
                parent[n] = current;
            }
        }
        if (head == tail) return false;
        current = queue[head++];
    }
}

}  // namespace kelvora
