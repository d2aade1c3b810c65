// Checks kelvora_embed() from end to end: the bytes compiled into this program equal the file
// they came from (here a build product, the embed tool's own executable), and an
// empty file embeds as an empty span. Usage: kelvora_embed_check <the embed tool's executable>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

namespace kelvora::tools {
extern const std::span<const uint8_t> embedCheckTool;
}
extern const std::span<const uint8_t> embedCheckEmpty;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvora_embed_check <file embedded as kelvora::tools::embedCheckTool>\n");
        return 2;
    }
    std::vector<uint8_t> expected;
    if (std::FILE* file = std::fopen(argv[1], "rb")) {
        int c = 0;
        while ((c = std::fgetc(file)) != EOF) expected.push_back(static_cast<uint8_t>(c));
        std::fclose(file);
    } else {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const std::span<const uint8_t> embedded = kelvora::tools::embedCheckTool;
    if (embedded.size() != expected.size()) {
        std::fprintf(stderr, "embedded %zu bytes, the file has %zu\n", embedded.size(), expected.size());
        return 1;
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        if (embedded[i] != expected[i]) {
            std::fprintf(stderr, "byte %zu differs\n", i);
            return 1;
        }
    }
    if (!embedCheckEmpty.empty()) {
        std::fprintf(stderr, "the empty file embedded as %zu bytes\n", embedCheckEmpty.size());
        return 1;
    }
    std::printf("%zu bytes embedded intact\n", embedded.size());
    return 0;
}
