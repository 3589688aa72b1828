#pragma once
// A filter tool on a data set built in the test, with helpers to write its terms, send it
// messages and read its output column as a display would.

#include "common/ManagerReset.h"
#include "common/FilterTerms.h"
#include "qzSystem/data/CqzDataBuilder.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/data/CqzDataTable.h"
#include "qzSystem/managers/CqzPlugInMgr.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"
#include "qzSystem/messages/CqzMessageRun.h"
#include "qzSystem/output/CqzDataCacheMgr.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"
#include "tool/CqzFilter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ToolFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        CqzStdCmdIFaceMgr::Instance().Reset();
        CqzPlugInMgr::Instance().Reset();
        CqzDataCacheMgr::Instance().Reset();
        tool = MakeTool();
    }

    static std::unique_ptr<CqzFilter> MakeTool()
    {
        GUID addInClass{};
        return std::make_unique<CqzFilter>(CqzID(), CqzID(), CqzID(), addInClass);
    }

    // Replaces the tool's terms by one term.
    void OnlyTerm(const SearchBuilder& search, unsigned type, unsigned color = 0)
    {
        CqzFilterModel& model = tool->GetFilterModel();
        while (model.GetSize() > 0)
            model.Remove(0, true);
        AddTerm(search, type, color);
    }

    void AddTerm(const SearchBuilder& search, unsigned type, unsigned color = 0,
                 CqzFilter* target = nullptr)
    {
        ::AddTerm((target ? target : tool.get())->GetFilterModel(), search, type, color);
    }

    void Run(CqzFilter* target = nullptr, bool validate = false)
    {
        target = target ? target : tool.get();
        target->SetData(&data);
        CqzMessageRun run(validate);
        target->HandleMessage(&run);
    }

    // The tool's attribute column of a table, read row by row (line by line with subrows)
    // through a fresh iterator, as a display reads it: "." shown, "h" hidden, "c<hex>" colour,
    // "hc<hex>" hidden and coloured.
    std::string Listing(int tableIndex = 0, CqzFilter* target = nullptr)
    {
        target = target ? target : tool.get();
        CqzDataTable* table = data.GetTable(tableIndex);
        const int index = table->FindColumn(target->GetInstanceID());
        if (index < 0)
            return "no column";
        std::unique_ptr<CqzSampleAttributesDataSourceIter> it(
            static_cast<CqzSampleAttributesDataSourceIter*>(
                table->GetColumnAt(index)->GetDataSource()->CreateIter()));
        std::string out;
        for (it->SetPosition(0); !it->IsAtEnd(); it->Next())
            out += Describe(it->GetValue()) + " ";
        if (!out.empty())
            out.pop_back();
        return out;
    }

    static std::string Describe(const CqzSampleAttributes& record)
    {
        std::string text = record.IsHidden() ? "h" : "";
        if (record.IsColored())
        {
            char colour[16];
            std::snprintf(colour, sizeof colour, "c%x", record.GetColor());
            text += colour;
        }
        return text.empty() ? "." : text;
    }

    CqzData data;
    CqzDataBuilder builder{data};
    std::unique_ptr<CqzFilter> tool;
};
