#pragma once
// One --decode argument read into its decoder stack, bottom first: each stage a decoder
// identifier and its settings "key=value" in the order given (channels and options alike; the
// decoder tells which is which). Syntax: stages separated by ',', the settings of a stage
// after its identifier, each after a ':'.

#include <string>
#include <utility>
#include <vector>

struct SqzDecodeStage
{
    std::string id;
    std::vector<std::pair<std::string, std::string>> settings;
};

class CqzDecodeArgument
{
public:
    // Throws CqzDecodeError for an empty stage, a setting without '=' or a key given twice.
    static std::vector<SqzDecodeStage> Parse(const std::string& text);
};
