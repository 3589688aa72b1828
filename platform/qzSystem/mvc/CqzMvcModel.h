#pragma once
// The host's subject base: every observable model of the system derives from it.

#include "mvc/CMvcModel.h"

class CqzMvcModel : public foundation::CMvcModel
{
};
