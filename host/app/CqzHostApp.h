#pragma once
// The qzfilter program as one call: reads the first word of the command line and runs the
// command it names (`view`, `edit`, else a listing). Returns the exit code; every error is
// reported on `err` as one line starting with "qzfilter: ".

#include <iosfwd>
#include <string>
#include <vector>

class CqzHostApp
{
public:
    static int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
};
