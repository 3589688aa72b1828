#pragma once
// The command line of qzfilter: the capture, the filter terms in the order given, setups to
// load and save, the plug-in, the listing and the exports. CqzHostOptions::Parse reads it into
// an SqzHostOptions record and throws CqzHostError (exit code 1) for bad usage.

#include "SqzDecodeRequest.h"
#include "capture/SqzCaptureOptions.h"
#include "win/WinTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The action of a command-line term: the filter's action types.
enum EqzHostAction
{
    eqzHostShow = 0,
    eqzHostHide = 1,
    eqzHostColor = 2
};

// One --show, --hide or --color term, unparsed: labels are known only once the capture is in.
struct SqzHostTerm
{
    EqzHostAction action = eqzHostHide;
    COLORREF color = 0;
    std::string expression;
    // The option as written, for messages: "--color red".
    std::string option;
    // The term's name in the setup (--name); empty: the expression names it.
    std::string name;
};

enum EqzColorMode
{
    eqzColorAuto,
    eqzColorAlways,
    eqzColorNever
};

struct SqzHostOptions
{
    bool help = false;
    // No capture was named: the bundled sample is used (with default terms when nothing else
    // says what to filter).
    bool useSample = false;
    std::string capture;
    SqzCaptureOptions captureOptions;
    std::vector<SqzHostTerm> terms;
    std::string plugin;
    std::string setupMarkup; // --setup
    std::string saveMarkup;  // --save-markup
    std::string loadSetup;   // --load-setup
    std::string saveSetup;   // --save-setup
    std::string csv;
    std::string html;
    std::int64_t limit = 200; // shown rows listed; -1 for all
    // --rows A:B: only rows A to B (both included) are listed; lastRow -1 runs to the end.
    std::int64_t firstRow = 0;
    std::int64_t lastRow = -1;
    bool rowsGiven = false;
    bool printSetup = false; // --print-setup: the setup as markup on stdout, no run
    bool listLabels = false; // --labels: the capture's labels, no run
    // --decode (repeatable) and --decode-rate: decoder stacks run before the filter.
    SqzDecodeRequest decode;
    bool listDecoders = false; // --decode list: the installed decoders, no capture
    std::string table;         // --table NAME: the table listed and exported
    bool listing = true;     // --quiet turns the listing off
    bool json = false;       // --json: the summary as one JSON object, no listing
    bool showHidden = false;
    bool progress = true;
    EqzColorMode colorMode = eqzColorAuto;
};

class CqzHostOptions
{
public:
    static SqzHostOptions Parse(const std::vector<std::string>& arguments);
    // The text of --help.
    static std::string Usage();
    // Whether the listing is drawn in colour: --color=always or never decide; otherwise only
    // on a terminal, unless NO_COLOR is set to a non-empty value (an empty one counts as not
    // set, as the convention has it) or TERM is "dumb".
    static bool UseColor(EqzColorMode mode, bool terminal, const char* noColor, const char* term);
};
