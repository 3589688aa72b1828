#pragma once
// Splits a term expression into tokens: names (labels and words such as "and", "in",
// "rising"), numbers, quoted texts, operators, brackets and the range mark "..". Columns count
// characters from 1. Owned by the parser that reads the tokens.

#include <string>
#include <vector>

enum EqzTermToken
{
    eqzTokName,   // a label name or a word; may hold dots and [...] selects: top.cpu.D[7:0]
    eqzTokNumber, // starts with a digit: 42, 0x3f, 0x3?, 0b10x1
    eqzTokText,   // "..." or '...', with \" \' and \\ escapes; text holds the content
    eqzTokOp,     // == != < > <= >= ~ !~ && ||
    eqzTokOpen,   // (
    eqzTokClose,  // )
    eqzTokRange,  // ..
    eqzTokEnd
};

struct SqzTermToken
{
    EqzTermToken kind = eqzTokEnd;
    std::wstring text;
    int column = 1;
};

class CqzTermLexer
{
public:
    // Throws CqzTermError for a character that starts no token, an unknown operator or an
    // unterminated text or select.
    static std::vector<SqzTermToken> Split(const std::wstring& expression);

private:
    CqzTermLexer(const std::wstring& expression) : m_text(expression) {}
    SqzTermToken Next();
    SqzTermToken Name();
    SqzTermToken Number();
    SqzTermToken Text();
    SqzTermToken Operator();
    void SkipSelect(std::size_t& end) const;
    int Column(std::size_t position) const { return static_cast<int>(position) + 1; }

    const std::wstring& m_text;
    std::size_t m_pos = 0;
};
