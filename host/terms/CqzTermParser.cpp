#include "CqzTermParser.h"

#include "CqzTermError.h"
#include "CqzTermLexer.h"
#include "CqzTermNumber.h"
#include "CqzTermText.h"
#include "qzSystem/search/CqzPatternCheck.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/search/CqzSearchMarkupReader.h"

#include <algorithm>

namespace
{

using TokenList = std::vector<SqzTermToken>;

const std::string EdgeReason = CqzPatternCheck::EdgeReason().ToUtf8();

static_assert(2 * CqzTermParser::MaxDepth + 1 <= CqzSearchMarkupReader::MaxGroupDepth);

std::string Quote(const std::wstring& text)
{
    return "'" + CqzTermText::Narrow(text) + "'";
}

bool IsWord(const SqzTermToken& token, const wchar_t* word)
{
    return token.kind == eqzTokName && CqzTermText::EqualNoCase(token.text, word);
}

bool IsConj(const SqzTermToken& token, EqzSearchEventConjType& type)
{
    if (IsWord(token, L"and") || (token.kind == eqzTokOp && token.text == L"&&"))
        type = eqzConjAnd;
    else if (IsWord(token, L"or") || (token.kind == eqzTokOp && token.text == L"||"))
        type = eqzConjOr;
    else
        return false;
    return true;
}

std::string Describe(const SqzTermToken& token)
{
    return token.kind == eqzTokEnd ? std::string("the end") : Quote(token.text);
}

// Comparison operators and their multi-bit choices.
struct SqzComparison
{
    const wchar_t* op;
    int choice;
};
const SqzComparison Comparisons[] = {
    {L"==", eqzMultiEqual},  {L"!=", eqzMultiNotEqual},  {L"<", eqzMultiLess},
    {L">", eqzMultiGreater}, {L"<=", eqzMultiLessEqual}, {L">=", eqzMultiGreaterEqual},
};

// Edge and level words and their single-bit choices.
struct SqzLevelWord
{
    const wchar_t* word;
    int choice;
};
const SqzLevelWord LevelWords[] = {
    {L"rising", eqzSingleRising}, {L"falling", eqzSingleFalling}, {L"either", eqzSingleEither},
    {L"high", eqzSingleHigh},     {L"low", eqzSingleLow},
};

// One piece of the expression as it goes to the event list: an event, a conjunction or a
// bracket, in order.
struct SqzTermPiece
{
    enum EqzKind
    {
        eqzEvent,
        eqzConj,
        eqzOpen,
        eqzClose
    } kind;
    CqzPatternModel pattern;
    EqzSearchEventConjType conj = eqzConjAnd;
};
using PieceList = std::vector<SqzTermPiece>;

void Append(PieceList& to, const PieceList& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

// One reading of one expression: walks the tokens and appends to the event list. The filter
// evaluates and/or with equal precedence from the left, so every 'and' run that stands next to
// an 'or' is written in brackets of its own: A or B and C goes out as A or (B and C).
class CqzTermReader
{
public:
    CqzTermReader(const CqzTermParser& parser, const TokenList& tokens, CqzSearchEventList& events,
                  std::vector<std::string>* notes)
        : m_parser(parser), m_tokens(tokens), m_events(events), m_notes(notes)
    {
    }

    void ReadAll()
    {
        const PieceList pieces = ReadSequence(0);
        const SqzTermToken& token = Peek();
        if (token.kind == eqzTokClose)
            throw CqzTermError(token.column, "')' without '('");
        if (token.kind != eqzTokEnd)
            throw CqzTermError(token.column,
                               "expected 'and', 'or' or the end, found " + Describe(token));
        for (const SqzTermPiece& piece : pieces)
            Emit(piece);
    }

private:
    const SqzTermToken& Peek() const { return m_tokens[m_pos]; }
    const SqzTermToken& Take() { return m_tokens[std::min(m_pos++, m_tokens.size() - 1)]; }

    void Emit(const SqzTermPiece& piece)
    {
        if (piece.kind == SqzTermPiece::eqzEvent)
            m_events.AddEvent(piece.pattern);
        else if (piece.kind == SqzTermPiece::eqzConj)
            m_events.AddConj(piece.conj);
        else
            m_events.AddBracket(piece.kind == SqzTermPiece::eqzOpen);
    }

    // Operands joined by and/or: the 'and' runs (one operand or more each) joined by 'or'.
    PieceList ReadSequence(int depth)
    {
        std::vector<PieceList> runs{ReadOperand(depth)};
        std::vector<int> sizes{1};
        EqzSearchEventConjType type;
        while (IsConj(Peek(), type))
        {
            Take();
            if (type == eqzConjOr)
            {
                runs.push_back(ReadOperand(depth));
                sizes.push_back(1);
                continue;
            }
            runs.back().push_back({SqzTermPiece::eqzConj, {}, eqzConjAnd});
            Append(runs.back(), ReadOperand(depth));
            ++sizes.back();
        }
        PieceList pieces;
        for (std::size_t i = 0; i < runs.size(); ++i)
        {
            const bool bracket = runs.size() > 1 && sizes[i] > 1;
            if (i > 0)
                pieces.push_back({SqzTermPiece::eqzConj, {}, eqzConjOr});
            if (bracket)
                pieces.push_back({SqzTermPiece::eqzOpen, {}});
            Append(pieces, runs[i]);
            if (bracket)
                pieces.push_back({SqzTermPiece::eqzClose, {}});
        }
        return pieces;
    }

    PieceList ReadOperand(int depth)
    {
        const SqzTermToken& token = Peek();
        if (token.kind != eqzTokOpen)
            return {{SqzTermPiece::eqzEvent, ReadEvent()}};
        if (depth >= CqzTermParser::MaxDepth)
            throw CqzTermError(token.column, "brackets nested too deeply");
        Take();
        PieceList pieces{{SqzTermPiece::eqzOpen, {}}};
        Append(pieces, ReadSequence(depth + 1));
        const SqzTermToken& close = Peek();
        if (close.kind != eqzTokClose)
            throw CqzTermError(close.kind == eqzTokEnd ? token.column : close.column,
                               close.kind == eqzTokEnd
                                   ? std::string("'(' without ')'")
                                   : "expected 'and', 'or' or ')', found " + Describe(close));
        Take();
        pieces.push_back({SqzTermPiece::eqzClose, {}});
        return pieces;
    }

    CqzPatternModel ReadEvent()
    {
        const SqzTermToken& name = Take();
        int channel = -1;
        const CqzLabel* label = ResolveLabel(name, channel);
        CqzPatternModel pattern(CqzLabelChannel(label->GetLabelID(), channel));
        const SqzTermToken& op = Take();
        if (op.kind == eqzTokOp)
            ReadOperator(op, *label, channel, pattern);
        else if (IsWord(op, L"in") || IsWord(op, L"not"))
            ReadRange(op, *label, channel, pattern);
        else if (op.kind == eqzTokName)
            ReadLevel(name, op, *label, channel, pattern);
        else
            throw CqzTermError(op.column, "expected an operator after " + Quote(name.text) +
                                              ", found " + Describe(op));
        return pattern;
    }

    const CqzLabel* ResolveLabel(const SqzTermToken& token, int& channel) const
    {
        if (token.kind != eqzTokName && token.kind != eqzTokText)
            throw CqzTermError(token.column, "expected a label name, found " + Describe(token));
        if (const CqzLabel* label = m_parser.FindLabel(token.text, channel))
            return label;
        if (token.kind == eqzTokName &&
            (IsWord(token, L"and") || IsWord(token, L"or") || IsWord(token, L"not")))
            throw CqzTermError(token.column, "expected a label name, found " + Describe(token));
        std::string message = "unknown label " + Quote(token.text);
        const std::vector<std::wstring> close = m_parser.Suggest(token.text);
        for (std::size_t i = 0; i < close.size(); ++i)
            message += (i == 0 ? " (did you mean " : " or ") + CqzTermText::Narrow(close[i]);
        if (!close.empty())
            message += "?)";
        throw CqzTermError(token.column, message);
    }

    void ReadOperator(const SqzTermToken& op, const CqzLabel& label, int channel,
                      CqzPatternModel& pattern)
    {
        if (op.text == L"~" || op.text == L"!~")
        {
            ReadText(op, label, pattern);
            return;
        }
        for (const SqzComparison& comparison : Comparisons)
            if (op.text == comparison.op)
            {
                RequireNumbers(op, label);
                const CqzTermNumber number = ReadNumber(op, label, channel);
                if (number.HasDontCare() && comparison.choice > eqzMultiNotEqual)
                    throw CqzTermError(Previous().column,
                                       "don't-care digits only go with == and !=");
                pattern.SetMultiBitChoice(comparison.choice);
                pattern.SetValue(number.GetValue(), number.GetDontCare());
                return;
            }
        throw CqzTermError(op.column,
                           "expected an operator after the label, found " + Describe(op));
    }

    void ReadText(const SqzTermToken& op, const CqzLabel& label, CqzPatternModel& pattern)
    {
        if (!label.IsType(eqzLabelString))
            throw CqzTermError(op.column, Quote(label.GetName().Str()) +
                                              " holds numbers: ~ and !~ need a text label");
        const SqzTermToken& text = Take();
        if (text.kind != eqzTokText)
            throw CqzTermError(text.column, "expected a quoted text after " + Quote(op.text) +
                                                ", found " + Describe(text));
        if (const CString empty = CqzPatternCheck::TextProblem(CString(text.text)); !empty.IsEmpty())
            throw CqzTermError(text.column, empty.ToUtf8());
        pattern.SetMultiBitChoice(op.text == L"~" ? eqzMultiContains : eqzMultiNotContains);
        pattern.SetValue(CString(text.text));
    }

    void ReadRange(const SqzTermToken& word, const CqzLabel& label, int channel,
                   CqzPatternModel& pattern)
    {
        const bool inverted = IsWord(word, L"not");
        if (inverted)
        {
            const SqzTermToken& in = Take();
            if (!IsWord(in, L"in"))
                throw CqzTermError(in.column, "expected 'in' after 'not', found " + Describe(in));
        }
        RequireNumbers(word, label);
        const CqzTermNumber low = ReadBound(word, label, channel);
        const SqzTermToken& dots = Take();
        if (dots.kind != eqzTokRange)
            throw CqzTermError(dots.column,
                               "expected '..' between the bounds, found " + Describe(dots));
        const CqzTermNumber high = ReadBound(dots, label, channel);
        if (low.GetValue() > high.GetValue())
            throw CqzTermError(dots.column, "the range " + CqzTermText::Narrow(low.GetText()) +
                                                ".." + CqzTermText::Narrow(high.GetText()) +
                                                " runs backwards");
        pattern.SetMultiBitChoice(inverted ? eqzMultiNotInRange : eqzMultiInRange);
        pattern.SetValue(low.GetValue(), high.GetValue());
    }

    // high and low are written as == 1 and == 0 on the bit, which the filter evaluates on
    // every kind of label; the edge words keep their single-bit choices.
    void ReadLevel(const SqzTermToken& name, const SqzTermToken& word, const CqzLabel& label,
                   int channel, CqzPatternModel& pattern)
    {
        const SqzLevelWord* level = nullptr;
        for (const SqzLevelWord& candidate : LevelWords)
            if (IsWord(word, candidate.word))
                level = &candidate;
        if (level == nullptr)
            throw CqzTermError(word.column, "unknown operator " + Quote(word.text));
        if (!label.IsType(eqzLabelDigital) || (channel < 0 && label.GetWidth() != 1))
            throw CqzTermError(word.column, Quote(word.text) +
                                                " needs a one-bit label or one bit of a bus, "
                                                "such as " +
                                                CqzTermText::Narrow(name.text) + "[0]");
        if (level->choice == eqzSingleHigh || level->choice == eqzSingleLow)
        {
            pattern.SetMultiBitChoice(eqzMultiEqual);
            pattern.SetValue(CqzUInt(level->choice == eqzSingleHigh ? 1 : 0), CqzUInt());
            return;
        }
        // The filter makes no test of an edge: refused here as in setups and the dialog.
        throw CqzTermError(word.column, "'" + CqzTermText::Narrow(name.text + L" " + word.text) +
                                            "': " + EdgeReason);
    }

    void RequireNumbers(const SqzTermToken& op, const CqzLabel& label) const
    {
        if (label.IsType(eqzLabelString))
            throw CqzTermError(op.column, Quote(label.GetName().Str()) +
                                              " holds text: use ~ \"text\" or !~ \"text\"");
    }

    CqzTermNumber ReadNumber(const SqzTermToken& after, const CqzLabel& label, int channel)
    {
        const SqzTermToken& token = Take();
        if (token.kind != eqzTokNumber)
            throw CqzTermError(token.column, "expected a number after " + Quote(after.text) +
                                                 ", found " + Describe(token));
        CqzTermNumber number(token.text, token.column);
        const int width = channel >= 0                     ? 1
                          : label.IsType(eqzLabelIntegral) ? std::min(label.GetWidth(), 64)
                                                           : label.GetWidth();
        if (width > 0 && number.GetSignificantBits() > width)
            throw CqzTermError(token.column, Quote(token.text) + " does not fit in the " +
                                                 std::to_string(width) + " bit" +
                                                 (width == 1 ? "" : "s") + " of " +
                                                 Quote(label.GetName().Str()));
        return number;
    }

    CqzTermNumber ReadBound(const SqzTermToken& after, const CqzLabel& label, int channel)
    {
        CqzTermNumber bound = ReadNumber(after, label, channel);
        if (bound.HasDontCare())
            throw CqzTermError(Previous().column, "a range bound has no don't-care digits");
        return bound;
    }

    const SqzTermToken& Previous() const { return m_tokens[m_pos == 0 ? 0 : m_pos - 1]; }

    const CqzTermParser& m_parser;
    const TokenList& m_tokens;
    CqzSearchEventList& m_events;
    std::vector<std::string>* m_notes;
    std::size_t m_pos = 0;
};

bool IsFilterable(const CqzLabel& label)
{
    return CqzPatternCheck::IsFilterable(label);
}

} // namespace

struct CqzTermParser::SqzImp
{
    std::vector<const CqzLabel*> labels;
};

CqzTermParser::CqzTermParser(const std::vector<const CqzLabel*>& labels)
    : m_imp(std::make_unique<SqzImp>())
{
    for (const CqzLabel* label : labels)
        if (label != nullptr && IsFilterable(*label))
            m_imp->labels.push_back(label);
}

CqzTermParser::~CqzTermParser() = default;

CqzSearchModel CqzTermParser::Parse(const std::string& expression,
                                    std::vector<std::string>* notes) const
{
    const std::wstring text = CqzTermText::Widen(expression);
    const TokenList tokens = CqzTermLexer::Split(text);
    if (tokens.front().kind == eqzTokEnd)
        throw CqzTermError(1, "the expression is empty");
    CqzSearchModel search;
    CqzSearchEventList& events = *search.GetIfClause().GetEventList();
    std::vector<std::string> found;
    CqzTermReader(*this, tokens, events, &found).ReadAll();
    if (notes)
        notes->insert(notes->end(), found.begin(), found.end());
    return search;
}

const CqzLabel* CqzTermParser::FindLabel(const std::wstring& name, int& channel) const
{
    channel = -1;
    for (const CqzLabel* label : m_imp->labels)
        if (label->GetName().Str() == name)
            return label;
    // NAME[bit] selects one bit of a digital bus.
    const std::size_t open = name.rfind(L'[');
    if (open == std::wstring::npos || open == 0 || name.back() != L']' || open + 2 >= name.size())
        return nullptr;
    const std::wstring digits = name.substr(open + 1, name.size() - open - 2);
    if (digits.size() > 3 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return nullptr;
    const int bit = std::stoi(digits);
    const std::wstring bus = name.substr(0, open);
    for (const CqzLabel* label : m_imp->labels)
        if (label->GetName().Str() == bus && label->IsType(eqzLabelDigital) &&
            bit < label->GetWidth() && label->GetWidth() > 1)
        {
            channel = bit;
            return label;
        }
    return nullptr;
}

std::vector<std::wstring> CqzTermParser::Suggest(const std::wstring& name) const
{
    std::vector<std::pair<std::size_t, std::wstring>> ranked;
    const std::size_t allowed = std::max<std::size_t>(1, name.size() / 3);
    for (const CqzLabel* label : m_imp->labels)
    {
        const std::wstring& candidate = label->GetName().Str();
        const std::size_t tail = candidate.rfind(L'.');
        const bool sameTail = tail != std::wstring::npos &&
                              CqzTermText::EqualNoCase(candidate.substr(tail + 1), name);
        const std::size_t distance = sameTail ? 0 : CqzTermText::Distance(candidate, name);
        if (distance <= allowed)
            ranked.emplace_back(distance, candidate);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < ranked.size() && i < 3; ++i)
        names.push_back(ranked[i].second);
    return names;
}
