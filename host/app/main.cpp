// qzfilter: the reference host of the filter plug-in. See CqzHostApp and --help.

#include "CqzHostApp.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int code = CqzHostApp::Run(arguments, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
