#pragma once
// Reading an imported table by label name, for the importer tests.

#include "capture/CqzCaptureError.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace capture_test
{
inline const CqzLabel* LabelOf(const CqzDataTable& table, int column)
{
    const CqzDataColumn* c = table.GetColumnAt(column);
    return c ? CqzLabelMgr::Instance().IDToLabel(c->GetLabelID()) : nullptr;
}

// The column of the label with this name, or -1.
inline int Column(const CqzDataTable& table, const std::string& name)
{
    for (int i = 0; i < table.GetColumnCount(); ++i)
        if (const CqzLabel* label = LabelOf(table, i); label && label->GetName().ToUtf8() == name)
            return i;
    return -1;
}

// Names of the label columns other than time, in column order.
inline std::vector<std::string> Names(const CqzDataTable& table)
{
    std::vector<std::string> names;
    for (int i = 0; i < table.GetColumnCount(); ++i)
        if (const CqzLabel* label = LabelOf(table, i); label && !label->IsType(eqzLabelTime))
            names.push_back(label->GetName().ToUtf8());
    return names;
}

struct Sample
{
    int status = 3;
    CqzUInt value;
    std::string text;
};

inline Sample At(const CqzDataTable& table, const std::string& name, std::int64_t row)
{
    Sample s;
    const int column = Column(table, name);
    EXPECT_GE(column, 0) << "no label " << name;
    const CqzLabel* label = LabelOf(table, column);
    if (label && label->IsType(eqzLabelString))
    {
        CString text;
        s.status = table.GetSample(column, row, text);
        s.text = text.ToUtf8();
    }
    else
        s.status = table.GetSample(column, row, s.value);
    return s;
}

inline std::uint64_t Value(const CqzDataTable& table, const std::string& name, std::int64_t row)
{
    const Sample s = At(table, name, row);
    EXPECT_EQ(s.status, 0) << name << " row " << row;
    return s.value.GetLow();
}

inline std::int64_t TimeAt(const CqzDataTable& table, std::int64_t row)
{
    return table.GetTimeAt(row).GetTime();
}

// The message of the CqzCaptureError that `f` throws, or "" when it throws none.
template <typename F> std::string ErrorOf(F&& f)
{
    try
    {
        f();
    }
    catch (const CqzCaptureError& e)
    {
        return e.what();
    }
    return "";
}

// Imports texts with `Importer` under the file name `name`; every test starts without labels.
template <typename Importer> class ImporterTest : public ::testing::Test
{
protected:
    explicit ImporterTest(std::string name) : m_name(std::move(name)) {}
    void SetUp() override { CqzLabelMgr::Instance().Reset(); }

    const CqzDataTable& Import(const std::string& text)
    {
        m_data = Importer().ImportText(text, m_name);
        return *m_data->GetTable(0);
    }
    // The message of the refusal; also checks that the refusal leaves no label behind.
    std::string Refusal(const std::string& text)
    {
        const std::string message = ErrorOf([&] { Importer().ImportText(text, m_name); });
        EXPECT_TRUE(CqzLabelMgr::Instance().GetLabels().empty()) << message;
        return message;
    }

    std::string m_name;
    std::unique_ptr<CqzData> m_data;
};
} // namespace capture_test
