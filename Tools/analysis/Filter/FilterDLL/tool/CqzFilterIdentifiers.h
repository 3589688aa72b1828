#pragma once
// The library's identifier strings, which it compares against and hands to the host. They are
// built when the library is loaded and freed when it is unloaded; code linked without the
// library's entry point (the tests) gets them built on first use.

#include "mfc/CString.h"

class CqzFilterIdentifiers
{
public:
    static void Create();
    static void Destroy();
    static bool IsCreated();

    // The add-in class identifier, the only type identifier Create accepts.
    static const CString& AddInClassID();
    static const CString& StandardToolCommandIFace();
    static const CString& StandardAnalysisToolCommandIFace();
    static const CString& FilterColorizeAnalysisTool();
    // The tool's setup tag and command element name.
    static const CString& Filter();
    // The data type name of the output sources.
    static const CString& SampleAttributes();
};
