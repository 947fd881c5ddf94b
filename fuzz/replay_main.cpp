// Replays fuzz inputs through a fuzz target without libFuzzer: every file
// named on the command line, and every file inside each folder named, in
// name order (a folder that does not exist holds none). A target that finds a broken invariant
// aborts, and so fails the test that runs this.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        fs::path p(argv[i]);
        if (fs::is_directory(p)) {
            for (const auto& entry : fs::directory_iterator(p))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else if (fs::is_regular_file(p)) {
            files.push_back(p);
        } else if (fs::exists(p)) {
            std::fprintf(stderr, "replay: not a file or folder: %s\n", argv[i]);
            return 2;
        }
        // A missing folder is a target without regression inputs yet.
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});
        std::printf("replay: %s (%zu bytes)\n", file.string().c_str(), data.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::printf("replay: %zu inputs, all passed\n", files.size());
    return 0;
}
