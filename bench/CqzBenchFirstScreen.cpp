#include "CqzBenchFirstScreen.h"

#include "CqzBenchStopwatch.h"
#include "CqzSampleGenerator.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
// Starts the program with its arguments, standard output to `out` (-1: inherited).
pid_t Start(const std::vector<std::string>& arguments, int out)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw std::runtime_error("cannot start " + arguments[0]);
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}
} // namespace

CqzBenchFirstScreen::CqzBenchFirstScreen(const std::string& filterProgram, std::int64_t rows)
    : m_program(filterProgram), m_rows(rows)
{
}

CqzBenchFirstScreen::SqzResult CqzBenchFirstScreen::Run() const
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("qzbench-first-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string capture = (folder / "bus.vcd").string();
    SqzResult result;
    try
    {
        CqzBenchStopwatch write;
        {
            std::ofstream out(capture, std::ios::binary);
            CqzSampleGenerator(m_rows).Write(out);
        }
        result.writeSeconds = write.WallSeconds();
        result.fileBytes = static_cast<std::int64_t>(std::filesystem::file_size(capture));
        result.firstRowSeconds = TimeFirstRow(capture);
        result.firstTableSeconds = TimeFirstTable(capture, (folder / "first.png").string());
    }
    catch (...)
    {
        std::filesystem::remove_all(folder);
        throw;
    }
    std::filesystem::remove_all(folder);
    return result;
}

// The listing's heading is its first line, the first row its second.
double CqzBenchFirstScreen::TimeFirstRow(const std::string& capture) const
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        throw std::runtime_error("cannot make a pipe");
    CqzBenchStopwatch clock;
    const pid_t pid = Start({m_program, "--color=never", capture}, pipe[1]);
    ::close(pipe[1]);
    int lines = 0;
    char byte = 0;
    while (lines < 2 && ::read(pipe[0], &byte, 1) == 1)
        lines += byte == '\n';
    const double seconds = clock.WallSeconds();
    ::kill(pid, SIGTERM);
    ::close(pipe[0]);
    Wait(pid);
    if (lines < 2)
        throw std::runtime_error("qzfilter listed no row of " + capture);
    return seconds;
}

// The picture appears, complete, once the table is drawn (it is written beside its name and
// renamed into place); the window's teardown after it is not counted.
double CqzBenchFirstScreen::TimeFirstTable(const std::string& capture,
                                           const std::string& picture) const
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    CqzBenchStopwatch clock;
    const pid_t pid = Start({m_program, "view", "--screenshot", picture, capture}, -1);
    int status = 0;
    while (!std::filesystem::exists(picture) && waitpid(pid, &status, WNOHANG) == 0)
        usleep(1000);
    const double seconds = clock.WallSeconds();
    if (!std::filesystem::exists(picture))
        throw std::runtime_error("qzfilter view drew no table of " + capture);
    Wait(pid);
    return seconds;
}
