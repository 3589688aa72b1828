// qzfilter: the reference host of the filter plug-in. See CqzHostApp and --help.

#include "CqzHostApp.h"
#include "CqzHostError.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace
{
// What was written to standard output must have arrived: a failed write or close (a full disk,
// a closed descriptor) is an error. A reader that went away (a closed pipe) is not.
int FinishStandardOutput(int code)
{
    errno = 0;
    const bool flushed = static_cast<bool>(std::cout.flush());
    int error = flushed ? 0 : (errno != 0 ? errno : EIO);
    if (error == 0 && close(STDOUT_FILENO) != 0)
        error = errno;
    if (error == 0 || error == EPIPE)
        return code;
    std::cerr << "qzfilter: cannot write to standard output: " << std::strerror(error) << "\n";
    return code != eqzExitOk ? code : eqzExitFile;
}
} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return FinishStandardOutput(CqzHostApp::Run(arguments, std::cout, std::cerr));
}
