#pragma once
// Production command of the filter: asks the run engine to produce rows first ... last of one
// output table. The engine is not owned; producers hold clones of the command that each output
// record keeps.

#include "output/CqzAnalysisToolCmd.h"

#include <memory>

class CqzFilterEngine;

class CqzFilterCmd : public CqzAnalysisToolCmd
{
public:
    explicit CqzFilterCmd(CqzFilterEngine* engine);
    // A new record with a fresh identifier, then every field copied from the source.
    CqzFilterCmd(const CqzFilterCmd& other);
    ~CqzFilterCmd() override;

    // Produces the block; 1 whatever the engine answers.
    int Execute() override;
    CqzMvcCommand* Clone() const override;
    void SetRange(int first, int last) override;
    const CqzID& SetTableID(const CqzID& tableID) override;

    int GetFirst() const;
    int GetLast() const;
    const CqzID& GetTableID() const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
