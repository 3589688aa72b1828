#include "mvc/MvcViewport.h"

#include "mfc/ui/CWnd.h"
#include "mvc/ISubject.h"

namespace foundation
{

MvcViewport::~MvcViewport()
{
    if (ISubject* model = GetModel())
        model->RemoveObserver(this);
}

bool MvcViewport::Create(CWnd* window, CWnd* container)
{
    m_window = window;
    m_container = container;
    return window != nullptr;
}

void MvcViewport::SetModel(ISubject* model)
{
    ISubject* old = GetModel();
    if (old == model)
        return;
    if (old != nullptr)
        old->RemoveObserver(this);
    MvcDefObserver::SetModel(model);
    if (model != nullptr)
        model->AddObserver(this);
}

void MvcViewport::InvalidateVisual()
{
    if (m_window != nullptr && m_window->GetSafeHwnd() != nullptr)
        m_window->Invalidate();
}

} // namespace foundation
