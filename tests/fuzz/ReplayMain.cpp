// Runs a fuzz target over saved inputs, so that every test run replays the seed corpora under
// the sanitizers without libFuzzer. Arguments are files and folders (searched recursively);
// each input is handed over in a buffer of its exact size, so a read past its end is caught.
// The run fails only by a crash or a sanitizer report, or when there is nothing to run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files named, and those under the folders named, each folder's in sorted order; false
// with a message when an argument names neither.
bool CollectInputs(const fs::path& path, std::vector<fs::path>& inputs) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        inputs.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, error)) {
        std::cerr << "fuzz replay: " << path.string() << ": no such file or folder\n";
        return false;
    }
    std::vector<fs::path> found;
    for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error)) found.push_back(it->path());
    }
    if (error) {
        std::cerr << "fuzz replay: " << path.string() << ": " << error.message() << '\n';
        return false;
    }
    std::sort(found.begin(), found.end());
    inputs.insert(inputs.end(), found.begin(), found.end());
    return true;
}

bool ReadInput(const fs::path& path, std::vector<char>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " INPUT_FILE_OR_FOLDER...\n";
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!CollectInputs(argv[i], inputs)) return 2;
    }
    if (inputs.empty()) {
        std::cerr << "fuzz replay: no inputs found\n";
        return 2;
    }

    std::vector<char> bytes;
    for (const fs::path& path : inputs) {
        if (!ReadInput(path, bytes)) {
            std::cerr << "fuzz replay: cannot read " << path.string() << '\n';
            return 2;
        }
        // Named before it runs, so that a crash report says which input it was.
        std::cerr << "Running: " << path.string() << '\n';
        const auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), exact.get());
        LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    }
    std::cout << fs::path(argv[0]).filename().string() << ": " << inputs.size() << " inputs ran\n";
    return 0;
}
