// Kelvora's entry point.
#include <cstdio>

int main() {
    std::puts("Kelvora: the game window is not built yet.");
    return 0;
}
