#pragma once
// The observer base that the system's models and views derive from.

#include "qzSystem/mvc/CqzMvcDefObserver.h"

class CqzDefObserver : public CqzMvcDefObserver
{
};
