#include "qzSystem/managers/CqzMemoryBudget.h"
#include "qzSystem/managers/CqzMemoryLimitError.h"
#include "qzSystem/output/CqzPageBlockPool.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
std::string RefusalOf(const std::function<void()>& step)
{
    try
    {
        step();
    }
    catch (const CqzMemoryLimitError& error)
    {
        return error.what();
    }
    return "";
}
} // namespace

// The parts of a run share one limit: each change is checked against what the others hold, a
// refusal changes nothing and names the part, its need, the others and the limit; what is set
// aside for a part counts until the part holds more.
TEST(MemoryBudgetTest, PartsShareOneLimit)
{
    CqzMemoryBudget budget(10000, "QZFILTER_MEMORY_LIMIT");
    budget.SetAside("output", 3000);
    budget.Hold("the capture", 5000);
    budget.Take("output", 2000); // within what was set aside
    EXPECT_EQ(budget.GetCounted(), 8000u);
    const struct
    {
        std::function<void()> step;
        std::string refusal;
    } cases[] = {
        {[&] { budget.Take("output", 2000); }, ""},
        {[&] { budget.Take("output", 1001); },
         "output needs about 4.9 KiB of memory, besides about 4.9 KiB for the capture; 9.8 KiB "
         "are allowed by QZFILTER_MEMORY_LIMIT"},
        {[&] { budget.Hold("table", 1001, "for 7 rows"); },
         "table needs about 1001 bytes of memory for 7 rows, besides about 3.9 KiB for output and "
         "about 4.9 KiB for the capture; 9.8 KiB are allowed by QZFILTER_MEMORY_LIMIT"},
        {[&]
         {
             budget.Give("output", 4000);
             budget.Hold("table", 1000);
         },
         ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RefusalOf(c.step), c.refusal);
    EXPECT_EQ(budget.GetCounted(), 9000u);
    budget.SetLimit(0, "");
    budget.Hold("table", ~std::uint64_t{0});
}

// The pages of every output source take their blocks from the run's budget before they are
// allocated, and give them back with their pool.
TEST(MemoryBudgetTest, OutputPagesDrawOnTheRunsBudget)
{
    CqzMemoryBudget& run = CqzMemoryBudget::Run();
    run.Clear();
    run.SetLimit(100 << 10, "the memory limit");
    {
        CqzPageBlockPool pool(40 << 10);
        pool.Take();
        EXPECT_EQ(run.GetCounted(), 64u << 10);
        EXPECT_EQ(RefusalOf([&] { pool.Take(); }),
                  "the filter's output needs about 192.0 KiB of memory; 100.0 KiB are allowed "
                  "by the memory limit");
        EXPECT_EQ(run.GetCounted(), 64u << 10);
    }
    EXPECT_EQ(run.GetCounted(), 0u);
    run.Clear();
}
