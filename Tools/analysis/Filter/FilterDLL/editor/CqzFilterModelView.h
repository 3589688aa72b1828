#pragma once
// The view of a whole filter model in the term list: per term a menu button (insert, delete,
// show or hide the name, rename, disable or enable) and, when the name is shown, a label with
// it (red for a disabled term); the term's action and search expression place their own
// controls beside or below. Every layout reuses the buttons and labels of the terms that
// stay, and reports the extent and the boundaries between the terms. The model owns the view.

#include "qzSystem/mvc/CqzMvcViewport.h"

#include <memory>
#include <vector>

class CqzSearchCreateViewParameters;

class CqzFilterModelView : public CqzMvcViewport
{
public:
    CqzFilterModelView();
    ~CqzFilterModelView() override;

    virtual bool CreateControls(CqzSearchCreateViewParameters& parameters);
    virtual bool PlaceControls(CqzSearchCreateViewParameters& parameters);
    // Per term: its button, its action's windows, its expression's windows.
    virtual void GetWindows(std::vector<CWnd*>& windows);

    // The menu button of a term, null when there is none.
    CWnd* GetButton(int term) const;
    // The popup of the term menu each button shows (for tests and hosts that describe it).
    int GetPopupIndex(int term) const;
    // The label of a term with its name shown, else null.
    CWnd* GetLabel(int term) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
