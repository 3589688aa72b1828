#pragma once
// `qzfilter [OPTIONS] [CAPTURE]` after the command line is read: the session opened, then the
// setups written and the listing, the summary and the exports (or --labels, --print-setup).

#include "CqzHostOptions.h"

#include <iosfwd>
#include <string>

class CqzSessionEditor;

class CqzListCommand
{
public:
    // `editor`, when given, opens once the setup is applied; a cancelled editor ends the run
    // before anything is written. Returns the exit code; errors are thrown.
    static int Run(SqzHostOptions& options, std::string& phase, std::ostream& out,
                   std::ostream& err, const CqzSessionEditor* editor = nullptr);
};
