// qz_sample_generator OUTPUT.vcd [ROWS]: writes the bundled sample capture (see
// CqzSampleGenerator.h). The file is written beside OUTPUT and renamed into place, so a failed
// run never leaves half a capture behind.

#include "CqzSampleGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace
{
int Usage()
{
    std::cerr << "Usage: qz_sample_generator OUTPUT.vcd [ROWS]\n";
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
        return Usage();
    std::int64_t rows = CqzSampleGenerator::kDefaultRows;
    if (argc == 3)
    {
        char* end = nullptr;
        rows = std::strtoll(argv[2], &end, 10);
        if (end == argv[2] || *end != '\0' || rows <= 0)
            return Usage();
    }
    const std::string path = argv[1];
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        CqzSampleGenerator(rows).Write(out);
        out.flush();
        if (!out)
        {
            std::cerr << "qz_sample_generator: cannot write " << temporary << "\n";
            std::remove(temporary.c_str());
            return 2;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        std::cerr << "qz_sample_generator: cannot rename " << temporary << " to " << path << "\n";
        std::remove(temporary.c_str());
        return 2;
    }
    return 0;
}
