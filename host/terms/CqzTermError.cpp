#include "CqzTermError.h"

CqzTermError::CqzTermError(int column, const std::string& reason)
    : std::runtime_error("column " + std::to_string(column) + ": " + reason), m_column(column),
      m_reason(reason)
{
}
