#pragma once
// Runs a shell command for the tests that run programs: its exit code and standard output.

#include <cstdio>
#include <string>
#include <sys/wait.h>

struct SqzShellRun
{
    int code = -1;
    std::string out;
};

inline SqzShellRun RunShell(const std::string& command)
{
    SqzShellRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
