#pragma once
// The modal dialog "Filter": the whole-filter enable state as two radio buttons, the term list
// (CqzFilterView) over a hidden placeholder, and the "Store Favorite" and "Recall Favorite"
// menu buttons. It opens centred on its owner, large enough for every term up to the screen's
// height (or at the size the person gave it last), with the focus on the first term. It edits a
// private copy of the tool's model; the tool takes the copy over
// after IDOK (CqzFilter::EditProperties). Favourites act on the tool's store at once.

#include "qzSystem/ui/CqzFlexDialog.h"

#include <memory>

class CqzFilter;
class CqzFilterModel;
class CqzFilterView;

class CqzFilterDlg : public CqzFlexDialog
{
public:
    CqzFilterDlg(CqzFilter* tool, CWnd* parent = nullptr);
    ~CqzFilterDlg() override;

    // The working copy; read it after DoModal returned IDOK.
    CqzFilterModel& GetFilterModel();
    // The term list window (null before the dialog is initialised).
    CqzFilterView* GetView() const;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnHelpHook() override;
    // Refuses, with a message naming the term, the row and the reason, while a value on screen
    // is not what the filter can evaluate; the dialog stays open then.
    void OnOK() override;
    // That message, empty when every term is fine.
    CString FindProblem() const;

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int cx, int cy);
    void OnTab(UINT id);
    void OnEnable();
    void OnDisable();
    void OnHelp();

private:
    void SetRadioButtons();
    CRect PlaceholderRect() const;
    void CreateView();
    // Centred on the owner, tall enough for every term (up to the screen), or as the person
    // sized it last time.
    void Place();

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
