#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>

#include <fstream>

#include "cli/Program.h"

namespace cli_test {

CliRun RunCli(const std::vector<std::string>& args) {
    std::vector<std::string> words = {"veltrix-settings"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    CliRun run;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    run.code = cli::Main(static_cast<int>(words.size()), argv.data());
    run.out = testing::internal::GetCapturedStdout();
    run.err = testing::internal::GetCapturedStderr();
    return run;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace cli_test
