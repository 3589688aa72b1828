#pragma once
// The controls of one term's action in the term list: the type list ("Show ", "Hide ",
// "Color "), a colour well shown only for Color, and the word "when". Choices are written
// straight into the action; a new type makes the list lay out again, a new colour does not.
// The action owns the view.

#include "qzSystem/mvc/CqzMvcViewport.h"

#include <memory>
#include <vector>

class CqzSearchCreateViewParameters;

class CqzFilterActionView : public CqzMvcViewport
{
public:
    CqzFilterActionView();
    ~CqzFilterActionView() override;

    virtual bool CreateControls(CqzSearchCreateViewParameters& parameters);
    virtual bool PlaceControls(CqzSearchCreateViewParameters& parameters);
    // The type list, and the colour well while the type is Color.
    virtual void GetWindows(std::vector<CWnd*>& windows);

    CWnd* GetTypeList() const;
    CWnd* GetColorWell() const;
    CWnd* GetWhenLabel() const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
