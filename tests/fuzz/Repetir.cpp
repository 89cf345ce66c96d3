// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target's function over every file of the corpus folders given, as libFuzzer
// would replay them: the normal test run checks the targets with any compiler.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n);

int main(int argc, char** argv) {
    size_t casos = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entrada : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream f(entrada.path(), std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(f)),
                                          std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++casos;
        }
    }
    std::printf("%zu casos\n", casos);
    return casos > 0 ? 0 : 1;
}
