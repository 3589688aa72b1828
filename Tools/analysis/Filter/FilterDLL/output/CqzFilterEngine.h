#pragma once
// The filter run engine of one filter tool (which owns it). A run compiles the filter terms and
// gives every non-empty table of the data set an attribute column backed by a paged source;
// rows are evaluated later, a page at a time, when the host reads the column and the page's
// producer calls Produce.

#include "qzSystem/ids/CqzID.h"

#include <memory>

class CqzData;
class CqzFilter;
class CqzFilterTermCounter;
struct SqzFilterOutput;

class CqzFilterEngine
{
public:
    explicit CqzFilterEngine(CqzFilter* tool);
    ~CqzFilterEngine();
    CqzFilterEngine(const CqzFilterEngine&) = delete;
    CqzFilterEngine& operator=(const CqzFilterEngine&) = delete;

    // The run: discards the previous output, compiles the tool's model and adds the output
    // columns.
    void Prepare(CqzData& data);
    // A run of a disabled filter: the output of the previous run goes, so every row shows.
    void Discard();
    // Makes the host produce every page again, with the model as it is now.
    void Refresh();
    // The data set is going away; later refreshes do nothing.
    void ForgetData();
    // Evaluates rows first ... last of a table's output; returns the number of rows hidden.
    int Produce(const CqzID& table, int first, int last);
    // Tables without subrows are evaluated a page at a time (the default); with false, row
    // by row through CqzFilterObject::Evaluate, the reference both must agree with. Tables
    // with subrows are always evaluated line by line.
    void SetPageWise(bool pageWise);

    // The output of the last run, in table order.
    int GetOutputCount() const;
    const SqzFilterOutput* GetOutput(int index) const;
    // The rows each term decided in the pages produced since the last compile.
    CqzFilterTermCounter& GetTermCounter();

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
