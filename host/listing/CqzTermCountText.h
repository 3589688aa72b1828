#pragma once
// The rows each term of a filter tool decided, as lines for a person: read from the tool's
// term-count interface (CqzTermCountIFaceMgr), never from the tool itself.
//   1. Idle cycles (Hide): 2 431 hidden
//   3. Bus errors (Color #e63c3c): 12 coloured
//   no term: 36 120 shown

#include "qzSystem/commands/CqzTermCountIFace.h"
#include "qzSystem/ids/CqzID.h"

#include <optional>
#include <string>
#include <vector>

class CqzTermCountText
{
public:
    // The counts of the tool instance; nothing when it registered no interface.
    static std::optional<SqzTermCounts> Get(const CqzID& instanceID);
    // One line per term (numbered from 1, names as UTF-8, not yet sanitised) and one for the
    // rows no term decided.
    static std::vector<std::string> Describe(const SqzTermCounts& counts);
    // The action part of a term's line: "Hide", "Show", "Color #e63c3c".
    static std::string Action(const SqzTermCount& term);
    // What the term did to its rows: "2431 hidden", "12 coloured".
    static std::string Decided(const SqzTermCount& term);
};
