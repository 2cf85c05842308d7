#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace clitest {

// What one run of the built zembrel-cli left behind.
struct Result {
    int status = -1; // exit status; 128 + n when killed by signal n
    std::string out;
    std::string err;
};

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Starts zembrel-cli with args, standard output and error going to files in folder; returns
// its pid (or -1).
inline pid_t Start(const std::vector<std::string>& args, const std::filesystem::path& folder) {
    std::vector<std::string> all = {ZEMBREL_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const std::string out = (folder / "stdout").string();
    const std::string err = (folder / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline Result Finish(pid_t pid, const std::filesystem::path& folder) {
    Result run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid) {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    run.out = Slurp((folder / "stdout").string());
    run.err = Slurp((folder / "stderr").string());
    return run;
}

inline Result RunCli(const std::vector<std::string>& args, const std::filesystem::path& folder) {
    return Finish(Start(args, folder), folder);
}

// The first line of a text.
inline std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

} // namespace clitest
