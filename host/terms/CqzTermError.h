#pragma once
// A term expression that cannot be read: what is wrong and the column (1 for the first
// character) where the problem starts. Thrown by CqzTermLexer and CqzTermParser by value; the
// host adds the option and the expression when it shows the message to a person.

#include <stdexcept>
#include <string>

class CqzTermError : public std::runtime_error
{
public:
    CqzTermError(int column, const std::string& reason);

    int GetColumn() const { return m_column; }
    const std::string& GetReason() const { return m_reason; }

private:
    int m_column;
    std::string m_reason;
};
