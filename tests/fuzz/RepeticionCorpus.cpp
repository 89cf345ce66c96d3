// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every file of the folders named on the command line through the fuzz target it is
// linked with, as a test: a finding of the target aborts, and so fails the test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n);

int main(int argc, char** argv) {
    size_t ficheros = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto& e : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream f(e.path(), std::ios::binary);
            const std::vector<uint8_t> datos{std::istreambuf_iterator<char>(f),
                                             std::istreambuf_iterator<char>()};
            LLVMFuzzerTestOneInput(datos.data(), datos.size());
            ++ficheros;
        }
    std::printf("%zu ficheros repetidos\n", ficheros);
    return ficheros > 0 ? 0 : 1;
}
