#pragma once
// Character-level rules of the markup text shared by the parse, the attribute access and the
// name lookups of CqzXMLParser: character classes, the tokenizer, name comparison and the
// conversion of values to and from the document. Stateless; used only inside the markup library.

#include "mfc/CString.h"

#include <string_view>

// One token of the text. A quoted token covers the characters between the quotes.
struct SqzXMLToken
{
    int start = 0;       // offset of the token's first character
    int length = 0;      // number of characters
    int next = 0;        // where the following scan starts
    bool quoted = false; // the token was enclosed in quotes
    bool closed = true;  // false for a quoted token whose closing quote was not found
};

class CqzXMLText
{
public:
    static bool IsWhitespace(wchar_t c);
    static bool IsDelimiter(wchar_t c);

    // First offset at or after pos (and before limit) that is not whitespace.
    static int SkipWhitespace(std::wstring_view text, int pos, int limit);

    // Reads the token at or after pos, looking at characters before limit only. Answers false
    // (empty token) when only whitespace is left.
    static bool NextToken(std::wstring_view text, int pos, int limit, SqzXMLToken& token);

    // True when the token is the unquoted single character c.
    static bool IsSymbol(std::wstring_view text, const SqzXMLToken& token, wchar_t c);

    // Name comparison: name starts with the token's characters and ends there or continues with
    // one of " =/[".
    static bool MatchName(std::wstring_view text, const SqzXMLToken& token, std::wstring_view name);

    // A name we are willing to write as an element or attribute name: not empty, no whitespace,
    // no delimiter, no quote, so that it reads back as exactly one token.
    static bool IsValidName(std::wstring_view name);

    // "<", "&", ">" (and in attribute values both quotes) become entity references.
    static CString ToDocument(std::wstring_view value, bool attribute);

    // The five predefined entities become their characters; anything else is copied.
    static CString FromDocument(std::wstring_view text);
};
