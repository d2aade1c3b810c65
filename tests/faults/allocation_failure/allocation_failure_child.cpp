// Asks for far more memory than any machine gives, through the game's own allocation functions:
// the fatal report must name the size, and the process must end with the report's exit code.
#include <cstdio>
#include <new>

int main() {
    volatile std::size_t bytes = std::size_t{1} << 40;
    char* memory = new char[bytes];
    std::printf("allocated at %p\n", static_cast<void*>(memory));
    delete[] memory;
    return 0;
}
