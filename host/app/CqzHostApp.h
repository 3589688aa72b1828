#pragma once
// The qzfilter program as one call: reads the command line, loads the capture, parses the
// terms, loads the plug-in and drives one filter tool through setups, terms and a run, then
// writes the listing, the summary and the exports. Returns the exit code; every error is
// reported on `err` as one line starting with "qzfilter: ".

#include "CqzHostOptions.h"
#include "CqzHostSession.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class CqzEditCommand;

class CqzHostApp
{
public:
    static int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

    // The bundled sample capture and its setup (markup, applied as --setup): used when no
    // capture is named, the setup when nothing else says what to filter.
    static std::string SampleCapture();
    static std::string SampleSetup();

    // The steps every command shares: the capture loaded (the sample without one), the
    // setups and terms applied and the filter run; nothing is produced yet (with --labels
    // or --print-setup the tool is not run). `phase` names the step for messages. With `edit`
    // the tool's dialog opens before the run (its favourites loaded first); a cancelled dialog
    // answers null.
    static std::unique_ptr<CqzHostSession> OpenSession(SqzHostOptions& options, std::string& phase,
                                                       std::ostream& err,
                                                       const CqzEditCommand* edit = nullptr);
    // Runs a command, turning its errors into the program's messages on `err` and exit codes.
    static int Guarded(const std::function<int(std::string& phase)>& body, std::ostream& err);
};
