// CorpusReplay: a fuzz entry point run over every file of the corpus folders named on the command line,
// without libFuzzer, so that the corpora replay as tests in every build, sanitizers included.
#include "support/ByteSize.hpp"
#include "support/FileRead.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Only the entry points that need a set-up define it.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

// libFuzzer's own default bound on one input is far smaller; this only keeps a stray file out.
constexpr std::size_t maxInputBytes = 16 * pelagrin::mebibyte;

// The files of the given folders (or the given files), in a fixed order so that a failure repeats.
std::vector<std::filesystem::path> corpusFiles(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path named = argv[i];
        if (!std::filesystem::is_directory(named)) {
            files.push_back(named);
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(named)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::filesystem::path> files = corpusFiles(argc, argv);
    if (files.empty()) {
        std::cerr << "no corpus file in the folders named\n";
        return 1;
    }
    if (LLVMFuzzerInitialize != nullptr) {
        // Without the corpus folders: a set-up that makes room for libFuzzer's own output must not open them.
        int initArgc = 1;
        char** initArgv = argv;
        LLVMFuzzerInitialize(&initArgc, &initArgv);
    }
    for (const std::filesystem::path& file : files) {
        std::cout << "replaying " << file.string() << std::endl;
        const std::string bytes = pelagrin::readWholeFile(file, maxInputBytes);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << files.size() << " inputs replayed\n";
    return 0;
}
