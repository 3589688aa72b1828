// Parses arbitrary bytes as a markup document, then walks and edits it with operations chosen
// by the rest of the input. After every edit the document text must parse to the same element
// tree that the parser keeps in step by splicing.
#include "markup/CqzXMLParser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

namespace
{

const wchar_t* const Paths[] = {nullptr, L"",    L"a",  L"b",      L"*",
                                L"a/b",  L"*/b", L"/a", L"Filter", L"FilterExpression"};
const wchar_t* const Names[] = {L"a", L"b", L"Filter", L"x y", L"", L"c/d"};
const wchar_t* const Values[] = {L"", L"T", L"1<2 & 'q' \"r\"", L"&amp;", L"\r\n"};

// Every element below the main element with its name, value and attribute "a".
std::wstring Dump(CqzXMLParser& xml)
{
    const SqzXMLParserPos keep = xml.GetPosition();
    std::wstring out;
    xml.ClearChild();
    while (xml.FindNextChild())
    {
        out += L"<" + xml.GetChildTag().Str() + L"|" + xml.GetChildValue().Str() + L"|" +
               xml.GetChildAttribute(L"a").Str() + L">(";
        xml.Descend();
        out += Dump(xml);
        xml.Ascend();
        out += L")";
    }
    xml.SetPosition(keep);
    return out;
}

// The whole tree from the document level.
std::wstring Tree(CqzXMLParser& xml)
{
    const SqzXMLParserPos keep = xml.GetPosition();
    xml.SetPosition({});
    std::wstring out;
    if (xml.FindNext())
    {
        out = L"<" + xml.GetTag().Str() + L"|" + xml.GetAttribute(L"a").Str() + L">(";
        xml.ClearChild();
        out += Dump(xml) + L")";
    }
    xml.SetPosition(keep);
    return out;
}

template <typename T, std::size_t N> const T& Pick(FuzzedDataProvider& in, const T (&items)[N])
{
    return items[in.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

void Step(FuzzedDataProvider& in, CqzXMLParser& xml)
{
    switch (in.ConsumeIntegralInRange(0, 13))
    {
    case 0:
        xml.FindNext(Pick(in, Paths));
        break;
    case 1:
        xml.FindNextChild(Pick(in, Paths));
        break;
    case 2:
        xml.Descend();
        break;
    case 3:
        xml.Ascend();
        break;
    case 4:
        xml.ClearChild();
        break;
    case 5:
        xml.AppendElement(Pick(in, Names));
        break;
    case 6:
        xml.AppendChild(Pick(in, Names), CString(Pick(in, Values)));
        break;
    case 7:
        xml.AppendChild(Pick(in, Names));
        break;
    case 8:
        xml.SetAttribute(Pick(in, Names), CString(Pick(in, Values)));
        break;
    case 9:
        xml.SetChildAttribute(L"a", CString(Pick(in, Values)));
        break;
    case 10:
        xml.SetAttribute(L"a", in.ConsumeBool());
        break;
    case 11:
        (void)xml.GetAttribute(Pick(in, Names));
        (void)xml.GetChildAttribute(L"a");
        break;
    case 12:
        (void)xml.GetTag();
        (void)xml.GetChildTag();
        (void)xml.GetValue();
        break;
    default:
        xml.InsertChild(Pick(in, Names));
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    CqzXMLParser xml{CString(in.ConsumeRandomLengthString(4096))};
    for (int steps = 0; steps < 64 && in.remaining_bytes() > 0; ++steps)
    {
        Step(in, xml);
        if (!xml.HasRoot())
            continue;
        CqzXMLParser reread(xml.GetDocument());
        if (!reread.HasRoot() || Tree(reread) != Tree(xml))
            __builtin_trap();
    }
    return 0;
}
