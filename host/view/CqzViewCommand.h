#pragma once
// `qzfilter view [OPTIONS] [CAPTURE]`: the capture through the filter in a window
// (CqzViewWindow), with the capture and term options of a listing. `--script FILE` replays a
// person's steps in the window (CqzViewScript) once the capture has loaded. `--screenshot
// FILE.png` draws the window as it opens (after the script), offscreen, into the file and
// ends. Without a display (and without --screenshot) it says that it needs one, exit code 1.

#include <iosfwd>
#include <string>
#include <vector>

class CqzViewCommand
{
public:
    static int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
    static std::string Usage();
};
