// The game's arithmetic helpers.
#include "base/arithmetic.h"

#include <algorithm>
#include <cmath>

#include "base/fatal.h"

namespace kelvora {

double IntDiv(double x, double y) {
    if (y == 0) FatalError("不能整除于零");
    return std::trunc(x / y);
}

double Remainder(double x, double y) {
    if (y == 0) FatalError("不能求余数于零");
    return x - y * std::trunc(x / y);
}

void SortAscending(std::vector<int32_t>& list) { std::sort(list.begin(), list.end()); }

}  // namespace kelvora
