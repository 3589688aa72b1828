#pragma once
// The host's observer base over the foundation's observer that remembers its model.

#include "mvc/MvcDefObserver.h"

class CqzMvcDefObserver : public foundation::MvcDefObserver
{
};
