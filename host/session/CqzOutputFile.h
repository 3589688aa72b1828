#pragma once
// Checks, before a long run, that an output file (CSV, HTML, markup or binary setup) can be
// written where the person asked, so that a typing error in a folder name costs no run.

#include <string>

class CqzOutputFile
{
public:
    // Throws CqzHostError (exit code 4) "cannot write the WHAT 'PATH': REASON" when the path
    // names a folder, its folder does not exist, or the file or folder may not be written.
    static void CheckWritable(const std::string& path, const std::string& what);
};
