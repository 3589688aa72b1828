#pragma once
// A viewport: the visual part of a model-view pair. It observes one model (set with
// SetModel, which also adds it as the model's observer) and draws into a window given by
// Create; its logical origin and size say where in the window's content it lies.

#include "mfc/ui/CRect.h"
#include "mvc/MvcDefObserver.h"

class CWnd;

namespace foundation
{

class MvcViewport : public MvcDefObserver
{
public:
    MvcViewport() = default;
    MvcViewport(const MvcViewport&) = delete;
    MvcViewport& operator=(const MvcViewport&) = delete;
    ~MvcViewport() override;

    // Connects the viewport to its window (and an optional container window); false without one.
    virtual bool Create(CWnd* window, CWnd* container = nullptr);
    CWnd* GetWnd() const { return m_window; }
    CWnd* GetContainer() const { return m_container; }

    // Observes the new model instead of the old one.
    void SetModel(ISubject* model) override;

    void SetOrigin(CPoint origin) { m_origin = origin; }
    CPoint GetOrigin() const { return m_origin; }
    void SetSize(CSize size) { m_size = size; }
    CSize GetSize() const { return m_size; }
    // Asks the window to draw the viewport again.
    virtual void InvalidateVisual();

private:
    CWnd* m_window = nullptr;
    CWnd* m_container = nullptr;
    CPoint m_origin;
    CSize m_size;
};

} // namespace foundation
