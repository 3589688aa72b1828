#include "CqzTermCountText.h"

#include "CqzColorName.h"
#include "qzSystem/managers/CqzTermCountIFaceMgr.h"

namespace
{
constexpr unsigned int ShowAction = 0;
constexpr unsigned int ColorAction = 2;
} // namespace

std::optional<SqzTermCounts> CqzTermCountText::Get(const CqzID& instanceID)
{
    const CqzTermCountIFace* counts = CqzTermCountIFaceMgr::Instance().Find(instanceID);
    if (counts == nullptr)
        return std::nullopt;
    return counts->GetTermCounts();
}

std::vector<std::string> CqzTermCountText::Describe(const SqzTermCounts& counts)
{
    std::vector<std::string> lines;
    int number = 0;
    for (const SqzTermCount& term : counts.terms)
        lines.push_back(std::to_string(++number) + ". " + term.name.ToUtf8() + " (" + Action(term) +
                        "): " + Decided(term));
    lines.push_back("no term: " + std::to_string(counts.undecided) + " shown");
    return lines;
}

std::string CqzTermCountText::Action(const SqzTermCount& term)
{
    if (term.action == ColorAction)
        return "Color " + CqzColorName::Format(term.color);
    return term.action == ShowAction ? "Show" : "Hide";
}

std::string CqzTermCountText::Decided(const SqzTermCount& term)
{
    return term.action == ColorAction ? std::to_string(term.colored) + " coloured"
                                      : std::to_string(term.hidden) + " hidden";
}
