#include "tests/cli/cli_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace quorvel::testing {

namespace {
std::string slurp(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}
}  // namespace

CliRun runCli(const std::vector<std::string>& arguments, const std::string& input) {
    char directory[] = "/tmp/quorvel-cli-test-XXXXXX";
    if (mkdtemp(directory) == nullptr) {
        return {};
    }
    const std::string base(directory);
    const std::string inPath = base + "/in", outPath = base + "/out", errPath = base + "/err";
    std::ofstream(inPath, std::ios::binary) << input;

    CliRun run;
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen(inPath.c_str(), "rb", stdin) ||
            !std::freopen(outPath.c_str(), "wb", stdout) ||
            !std::freopen(errPath.c_str(), "wb", stderr)) {
            _exit(127);
        }
        std::vector<char*> argv;
        std::string program = QUORVEL_CLI_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = arguments;
        for (std::string& argument : copies) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.exitStatus = WEXITSTATUS(status);
    }
    run.out = slurp(outPath);
    run.err = slurp(errPath);
    std::remove(inPath.c_str());
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    rmdir(directory);
    return run;
}

}  // namespace quorvel::testing
