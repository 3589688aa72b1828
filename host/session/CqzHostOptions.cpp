#include "CqzHostOptions.h"

#include "CqzColorName.h"
#include "CqzHostError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <utility>

namespace
{

[[noreturn]] void Refuse(const std::string& message)
{
    throw CqzHostError(eqzExitUsage, message + " (see qzfilter --help)");
}

std::int64_t ReadCount(const std::string& option, const std::string& text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        Refuse(option + ": '" + text + "' is not a count");
    return value;
}

// A:B, A: or :B (rows A to B, both included).
void ReadRows(SqzHostOptions& options, const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || text.size() == 1)
        Refuse("--rows: expected FIRST:LAST such as 100:200, 100: or :50, found '" + text + "'");
    const std::string first = text.substr(0, colon), last = text.substr(colon + 1);
    options.firstRow = first.empty() ? 0 : ReadCount("--rows", first);
    options.lastRow = last.empty() ? -1 : ReadCount("--rows", last);
    if (options.lastRow >= 0 && options.lastRow < options.firstRow)
        Refuse("--rows " + text + ": the last row comes before the first");
}

// --decode-rate: Hz, with an optional k, M or G (1M, 2.5M, 500k).
std::uint64_t ReadRate(const std::string& text)
{
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    std::string unit(stop, text.data() + text.size());
    if (unit.ends_with("Hz"))
        unit.resize(unit.size() - 2);
    const double scale = unit.empty()  ? 1
                         : unit == "k" ? 1e3
                         : unit == "M" ? 1e6
                         : unit == "G" ? 1e9
                                       : 0;
    value *= scale;
    if (error != std::errc() || scale == 0 || !(value >= 1 && value < 1e15))
        Refuse("--decode-rate: '" + text + "' is not a rate such as 1000000, 500k or 2.5M (Hz)");
    return static_cast<std::uint64_t>(value + 0.5);
}

void ReadDecode(SqzHostOptions& options, const std::string& text)
{
    if (text == "list")
        options.listDecoders = true;
    else if (text.empty())
        Refuse("--decode needs a decoder such as spi:clk=D2:mosi=D1 (--decode list names them)");
    else
        options.decode.stacks.push_back(text);
}

// NAME=CH,CH,...: channel 0 first (bit 0).
SqzCaptureBus ReadBus(const std::string& text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size())
        Refuse("--bus: expected NAME=CH,CH,... such as D=0,1,2,3, found '" + text + "'");
    SqzCaptureBus bus;
    bus.name = text.substr(0, equals);
    std::size_t start = equals + 1;
    while (start <= text.size())
    {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        bus.channels.push_back(static_cast<int>(std::min<std::int64_t>(
            ReadCount("--bus", text.substr(start, comma - start)), 1 << 20)));
        start = comma + 1;
    }
    return bus;
}

// Walks the arguments; options with a value take it from "--opt=value" or the next argument.
class CqzArgumentReader
{
public:
    explicit CqzArgumentReader(const std::vector<std::string>& arguments) : m_args(arguments) {}

    bool AtEnd() const { return m_pos >= m_args.size(); }

    // The next argument split into option name and inline value ("--csv=a.csv").
    std::string TakeOption(std::optional<std::string>& inlineValue)
    {
        const std::string& arg = m_args[m_pos++];
        inlineValue.reset();
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos)
        {
            inlineValue = arg.substr(equals + 1);
            return arg.substr(0, equals);
        }
        return arg;
    }

    std::string TakeValue(const std::string& option, std::optional<std::string>& inlineValue)
    {
        if (inlineValue)
            return *std::exchange(inlineValue, std::nullopt);
        if (AtEnd())
            Refuse(option + " needs a value");
        return m_args[m_pos++];
    }

private:
    const std::vector<std::string>& m_args;
    std::size_t m_pos = 0;
};

// A single word that names an existing file, or ends in a capture's file type, is a capture
// given where an expression belongs (no expression is one word).
bool LooksLikeCapture(const std::string& text)
{
    if (text.empty() || text.find_first_of(" \t") != std::string::npos)
        return false;
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* type : {".vcd", ".csv", ".sr", ".fst"})
        if (lower.size() > std::strlen(type) &&
            lower.compare(lower.size() - std::strlen(type), std::string::npos, type) == 0)
            return true;
    std::error_code error;
    return std::filesystem::exists(text, error);
}

void AddTerm(SqzHostOptions& options, EqzHostAction action, const std::string& option,
             CqzArgumentReader& reader, std::optional<std::string>& inlineValue)
{
    SqzHostTerm term;
    term.action = action;
    term.option = option;
    if (action == eqzHostColor)
    {
        const std::string name = reader.TakeValue(option, inlineValue);
        const std::optional<COLORREF> color = CqzColorName::Parse(name);
        if (!color && (name == "always" || name == "never" || name == "auto"))
            Refuse("--color " + name + ": to set when the listing is coloured write --color=" +
                   name + "; --color COLOR EXPR colours the rows that match EXPR");
        if (!color)
            Refuse("--color: unknown colour '" + name + "'; use " + CqzColorName::List());
        term.color = *color;
        term.option += " " + name;
    }
    term.expression = reader.TakeValue(term.option, inlineValue);
    if (LooksLikeCapture(term.expression))
        Refuse(term.option + ": '" + term.expression +
               "' is a capture file, not an expression; give the expression first: " + term.option +
               " EXPR " + term.expression);
    options.terms.push_back(term);
}

void ReadColorMode(SqzHostOptions& options, const std::string& mode)
{
    if (mode == "always")
        options.colorMode = eqzColorAlways;
    else if (mode == "never")
        options.colorMode = eqzColorNever;
    else if (mode == "auto")
        options.colorMode = eqzColorAuto;
    else
        Refuse("--color=" + mode + ": use --color=always, --color=never or --color=auto");
}

// Options that take one value and store it as text.
std::string* TextOption(SqzHostOptions& options, const std::string& name)
{
    if (name == "--plugin")
        return &options.plugin;
    if (name == "--setup")
        return &options.setupMarkup;
    if (name == "--save-markup")
        return &options.saveMarkup;
    if (name == "--load-setup")
        return &options.loadSetup;
    if (name == "--save-setup")
        return &options.saveSetup;
    if (name == "--csv")
        return &options.csv;
    if (name == "--html")
        return &options.html;
    if (name == "--table")
        return &options.table;
    return nullptr;
}

bool ReadFlag(SqzHostOptions& options, const std::string& name)
{
    if (name == "-h" || name == "--help")
        options.help = true;
    else if (name == "--all")
        options.limit = -1;
    else if (name == "--quiet" || name == "-q")
        options.listing = false;
    else if (name == "--json")
        options.json = true;
    else if (name == "--show-hidden")
        options.showHidden = true;
    else if (name == "--print-setup")
        options.printSetup = true;
    else if (name == "--labels")
        options.listLabels = true;
    else if (name == "--no-progress")
        options.progress = false;
    else if (name == "--no-auto-bus")
        options.captureOptions.autoBuses = false;
    else if (name == "--row-per-sample")
        options.captureOptions.rowPerSample = true;
    else
        return false;
    return true;
}

void ReadOption(SqzHostOptions& options, const std::string& name, CqzArgumentReader& reader,
                std::optional<std::string>& inlineValue)
{
    if (name == "--hide" || name == "--show")
        AddTerm(options, name == "--hide" ? eqzHostHide : eqzHostShow, name, reader, inlineValue);
    else if (name == "--color" && inlineValue)
        ReadColorMode(options, *std::exchange(inlineValue, std::nullopt));
    else if (name == "--color")
        AddTerm(options, eqzHostColor, name, reader, inlineValue);
    else if (std::string* target = TextOption(options, name))
        *target = reader.TakeValue(name, inlineValue);
    else if (name == "--limit" || name == "-n")
        options.limit = ReadCount(name, reader.TakeValue(name, inlineValue));
    else if (name == "--rows")
        ReadRows(options, reader.TakeValue(name, inlineValue));
    else if (name == "--decode")
        ReadDecode(options, reader.TakeValue(name, inlineValue));
    else if (name == "--decode-rate")
        options.decode.rate = ReadRate(reader.TakeValue(name, inlineValue));
    else if (name == "--bus")
        options.captureOptions.buses.push_back(ReadBus(reader.TakeValue(name, inlineValue)));
    else if (!ReadFlag(options, name))
        Refuse("unknown option '" + name + "'");
    if (inlineValue)
        Refuse(name + " takes no value");
}

// The options read so far and what the next ones depend on.
struct SqzParseState
{
    SqzHostOptions options;
    std::optional<std::string> name; // --name waiting for its term
    bool limitGiven = false;
    bool rowsGiven = false;
};

// --name TEXT names the term that follows it.
void ReadName(SqzParseState& state, CqzArgumentReader& reader,
              std::optional<std::string>& inlineValue)
{
    if (state.name)
        Refuse("--name '" + *state.name + "' names no term: give the term after it");
    state.name = reader.TakeValue("--name", inlineValue);
    if (state.name->empty())
        Refuse("--name: the name is empty");
}

void ReadAnyOption(SqzParseState& state, const std::string& name, CqzArgumentReader& reader,
                   std::optional<std::string>& inlineValue)
{
    if (name == "--name")
    {
        ReadName(state, reader, inlineValue);
        return;
    }
    const std::size_t terms = state.options.terms.size();
    ReadOption(state.options, name, reader, inlineValue);
    if (state.options.terms.size() > terms && state.name)
        state.options.terms.back().name = *std::exchange(state.name, std::nullopt);
    state.limitGiven = state.limitGiven || name == "--limit" || name == "-n" || name == "--all";
    state.rowsGiven = state.rowsGiven || name == "--rows";
}

} // namespace

SqzHostOptions CqzHostOptions::Parse(const std::vector<std::string>& arguments)
{
    SqzParseState state;
    SqzHostOptions& options = state.options;
    CqzArgumentReader reader(arguments);
    bool optionsEnded = false;
    while (!reader.AtEnd())
    {
        std::optional<std::string> inlineValue;
        const std::string name = reader.TakeOption(inlineValue);
        if (!optionsEnded && name == "--" && !inlineValue)
            optionsEnded = true;
        else if (!optionsEnded && name.size() > 1 && name[0] == '-')
            ReadAnyOption(state, name, reader, inlineValue);
        else if (!options.capture.empty())
            Refuse("one capture file only; found '" + options.capture + "' and '" + name + "'");
        else
            options.capture = inlineValue ? name + "=" + *inlineValue : name;
    }
    if (state.name)
        Refuse("--name '" + *state.name + "' names no term: give the term after it");
    // --rows lists the whole range unless a limit is given too.
    if (state.rowsGiven && !state.limitGiven)
        options.limit = -1;
    options.rowsGiven = state.rowsGiven;
    options.useSample = options.capture.empty();
    return options;
}

bool CqzHostOptions::UseColor(EqzColorMode mode, bool terminal, const char* noColor,
                              const char* term)
{
    if (mode != eqzColorAuto)
        return mode == eqzColorAlways;
    return terminal && (noColor == nullptr || *noColor == '\0') &&
           !(term != nullptr && std::string(term) == "dumb");
}

std::string CqzHostOptions::Usage()
{
    return R"(Usage: qzfilter [OPTIONS] [CAPTURE]   (CAPTURE '-' reads standard input)
       qzfilter view [OPTIONS] [CAPTURE]   the same in a window (qzfilter view --help)
       qzfilter edit [--screenshot FILE.png] [--script FILE] [--favorites FILE] [OPTIONS] [CAPTURE]

Filters and colours the rows of a capture (.vcd, .csv, .sr, .fst) with the qzFilter plug-in and
lists them. Without a capture it runs on the bundled sample, with the sample's setup when no
term or setup is given.

`edit` opens the dialog "Filter" on the loaded setup (needs a display); OK applies the edited
filter and the run goes on as below, Cancel writes nothing. --screenshot renders the dialog
offscreen (after the --script steps: menu N ITEM, type N Show|Hide|Color, color N NAME,
rename N TEXT, filter on|off, ok, cancel) and exits. Favourites are kept in --favorites FILE
(default $XDG_CONFIG_HOME/qzfilter/favorites.qzs or ~/.config/qzfilter/favorites.qzs).

Terms (tried in the order given; the first that applies decides a row's fate):
  --hide EXPR           hide the rows that match EXPR
  --show EXPR           hide the rows that do NOT match EXPR
  --color COLOR EXPR    draw the rows that match EXPR in COLOR: red, green, blue, yellow,
                        cyan, magenta, orange, grey, gray, white or #rrggbb
  --name TEXT           names the term that follows (the name the setup shows; by default
                        the expression)

Expressions:
  LABEL == NUM   also != < > <= >=         NUM: 42, 0x1f, 0b1010; a '?' hex digit or an
  LABEL in LOW..HIGH, LABEL not in LOW..HIGH  'x'/'?' binary digit is don't-care (== and !=)
  LABEL ~ "text", LABEL !~ "text"          text labels: contains / does not contain (any case)
  LABEL high, LABEL low                    one-bit labels or one bit of a bus: STAT[2] high
  LABEL rising|falling|either              accepted, but the filter never matches edges
  A and B, A or B (also && ||), ( ... )
  'and' binds tighter than 'or': A or B and C means A or (B and C), and
  A and B or C and D means (A and B) or (C and D). Brackets group otherwise.
  Labels are named as the capture names them (top.cpu.ADDR, D[7:0]); quote other names:
  "my label" == 1.

Setups:
  --setup FILE.xml      apply a filter written as markup (<Filter>...</Filter>); terms given
                        on the command line are added after its terms
  --save-markup FILE    write the filter as markup after the terms are applied
  --load-setup FILE     load a binary setup saved with --save-setup (applied first)
  --save-setup FILE     save the filter as a binary setup
  --print-setup         print the filter as markup (what --save-markup writes) and stop
                        without running it
  --labels              list the capture's labels (name, type, width) and stop

Output:
  -n, --limit N         list at most N shown rows (default 200)
  --all                 list every shown row
  --rows FIRST:LAST     list only rows FIRST to LAST (row numbers as listed; 100: and :50
                        leave an end open); the whole range unless --limit is given
  --show-hidden         list hidden rows too, dimmed
  -q, --quiet           no listing, only the summary
  --json                no listing; the summary as one JSON object on stdout (rows, shown,
                        hidden, coloured, the setup's terms, the rows each term decided)
  --color=WHEN          24-bit colour in the listing: auto (a terminal, unless NO_COLOR is
                        set to a non-empty value), always, never
  --csv FILE            every line: time, values, hidden (0/1), colour (#rrggbb or empty);
                        a table with subrows adds a Row column (12, 12.1, ...)
  --html FILE           a self-contained page of the listing (hidden rows left out, or
                        greyed with --show-hidden)
  --no-progress         no progress bar (it only appears when stderr is a terminal)

Capture:
  --bus NAME=CH,CH,...  .sr: build a bus from logic channels, bit 0 first (channels from 0)
  --no-auto-bus         .sr: do not join channels named NAME[0], NAME[1], ... into buses
  --row-per-sample      .sr: one row per sample instead of one per change

Decoding (protocol decoders run first; each adds a table of its annotations):
  --decode DEC:CH=LABEL:OPT=VALUE[,DEC2...]   run a decoder over the capture's one-bit labels
                        (spi:clk=D2:mosi=D1:cs=D0:cpol=0; stacked: i2c:scl=SCL:sda=SDA,eeprom24xx);
                        repeatable. Its table NAME has the labels NAME.class, NAME.text,
                        NAME.start, NAME.end and numbers of the data words (spi.mosi, i2c.address,
                        i2c.data, i2c.rw, uart.rx)
  --decode list         list the installed decoders with their channels and options
  --decode-rate HZ      the samplerate to decode at (default: the session file's, else the step
                        of the capture's times)
  --table NAME          the table listed and exported: capture, or a decoder's (default: the
                        first decoder's when decoding, else every table)

Plug-in:
  --plugin PATH         the plug-in library; else $QZFILTER_PLUGIN; else the one built with
                        this program

Exit codes: 0 done, 1 usage or term error, 2 capture or decoding error, 3 plug-in error,
            4 setup or output file error.

Example:
  qzfilter --hide 'STAT == 0' --color red 'MSG ~ "err"' --csv out.csv capture.vcd
)";
}
