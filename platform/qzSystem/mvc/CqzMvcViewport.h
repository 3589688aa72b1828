#pragma once
// The host's viewport base: the views of the host's models (and the plug-in's) derive from it.

#include "mvc/MvcViewport.h"
#include "qzSystem/mvc/CqzMvcModel.h"

class CqzMvcViewport : public foundation::MvcViewport
{
public:
    using foundation::MvcViewport::SetModel;
    virtual void SetModel(CqzMvcModel* model) { foundation::MvcViewport::SetModel(model); }
    CqzMvcModel* GetMvcModel() const { return dynamic_cast<CqzMvcModel*>(GetModel()); }
};
