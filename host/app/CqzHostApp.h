#pragma once
// The qzfilter program as one call: reads the command line, loads the capture, parses the
// terms, loads the plug-in and drives one filter tool through setups, terms and a run, then
// writes the listing, the summary and the exports. Returns the exit code; every error is
// reported on `err` as one line starting with "qzfilter: ".

#include <iosfwd>
#include <string>
#include <vector>

class CqzHostApp
{
public:
    static int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

    // The bundled sample capture and its setup (markup, applied as --setup): used when no
    // capture is named, the setup when nothing else says what to filter.
    static std::string SampleCapture();
    static std::string SampleSetup();
};
