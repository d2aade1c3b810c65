// The game's arithmetic helpers: truncating division and remainder, colours, sorting.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvora {

// Both end the program with the fatal report when y is 0.
double IntDiv(double x, double y);
double Remainder(double x, double y);

// A colour 0x00BBGGRR.
constexpr uint32_t Rgb(int32_t r, int32_t g, int32_t b) {
    return static_cast<uint32_t>(r) + static_cast<uint32_t>(g) * 256u + static_cast<uint32_t>(b) * 65536u;
}

void SortAscending(std::vector<int32_t>& list);

}  // namespace kelvora
