#pragma once
// The steps every command of qzfilter shares before it shows anything: the capture loaded (the
// sample without one), the setups and terms applied and the filter run; and the guard that
// turns a command's errors into the program's messages and exit codes.

#include "CqzHostOptions.h"
#include "CqzHostSession.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

class CqzSessionEditor;

class CqzSessionOpener
{
public:
    // The bundled sample capture and its setup (markup, applied as --setup): used when no
    // capture is named, the setup when nothing else says what to filter.
    static std::string SampleCapture();
    static std::string SampleSetup();

    // Loads, applies and runs; nothing is produced yet (with --labels or --print-setup the
    // tool is not run). `phase` names the step for messages. With `editor` the editor opens
    // before the run (its favourites loaded first); a cancelled editor answers null. With
    // `growing` (and no decoder to run) the capture is imported on a worker and the session
    // is open once its first rows exist (CqzHostSession::StartCapture): the caller holds the
    // capture and finishes it.
    static std::unique_ptr<CqzHostSession> Open(SqzHostOptions& options, std::string& phase,
                                                std::ostream& err,
                                                const CqzSessionEditor* editor = nullptr,
                                                bool growing = false);
    // Runs a command, turning its errors into the program's messages on `err` and exit codes;
    // a part of the run that would pass the memory limit is exit code 2 with the budget's
    // words, after the phase.
    static int Guarded(const std::function<int(std::string& phase)>& body, std::ostream& err);
};
