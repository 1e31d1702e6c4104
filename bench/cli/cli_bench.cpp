// One whole lumerad-cli process, from start to exit: `lumerad-cli bend` on a seeded
// catalogue, and `lumerad-cli --version` (the floor: loading the program and Qt Core).
//   build/bench/cli_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string benchDir;

void removeBenchDir() {
    std::remove((benchDir + "/bench.sqlite").c_str());
    rmdir(benchDir.c_str());
}

std::string catalogue() {
    if (benchDir.empty()) {
        char dir[] = "/tmp/lumerad-cli-bench-XXXXXX";
        if (!mkdtemp(dir)) std::abort();
        benchDir = dir;
        std::atexit(removeBenchDir);
    }
    return benchDir + "/bench.sqlite";
}

// Runs the program with stdout and stderr sent to /dev/null; returns its exit status.
int runProcess(std::vector<std::string> args) {
    args.insert(args.begin(), LUMERAD_CLI_EXE);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) return -1;
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::vector<std::string> kBend = {
    "bend",    "--catalogue", catalogue(),           "--data", LUMERAD_SOURCE_DATA_DIR "/DATA.TXT", "--beam",
    "Diamond", "--source",    "Diamond dipole 1.4 T"};

void CliBendProcess(benchmark::State& state) {
    if (runProcess(kBend) != 0) state.SkipWithError("lumerad-cli bend failed");  // also seeds the catalogue
    for (auto _ : state) benchmark::DoNotOptimize(runProcess(kBend));
}
BENCHMARK(CliBendProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void CliVersionProcess(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(runProcess({"--version"}));
}
BENCHMARK(CliVersionProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
