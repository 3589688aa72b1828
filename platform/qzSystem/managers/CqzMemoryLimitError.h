#pragma once
// A part of a run would take the run past its memory limit (CqzMemoryBudget). It is an
// allocation failure, so code that copes with running out of memory copes with it too; what()
// says which part, how much it needs, what the rest of the run holds and the limit.

#include <new>
#include <string>

class CqzMemoryLimitError : public std::bad_alloc
{
public:
    explicit CqzMemoryLimitError(std::string message) : m_message(std::move(message)) {}

    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};
