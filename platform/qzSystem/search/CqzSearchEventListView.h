#pragma once
// The editor of one search expression: per event one row of controls, placed from the view
// parameters' position, row height and spacing:
//
//   ( [label v] [operator v] [value] [to value] ) [AND v] [>>]
//
// brackets opened before the event and closed after it as markers (and the row indented by
// its depth), the label drop-down (the labels available to the instance), the operator
// drop-down (comparisons, ranges, text containment for text labels, levels and edges for
// one-bit labels), one value field (two for ranges, a text field for text operators, none for
// levels and edges), the conjunction to the next event, and a menu to add and remove events
// and brackets. Every edit goes through the event list's own operations, so the list sends its
// change messages; the host lays the view out again when it hears them. The list owns the view.

#include "mfc/CString.h"
#include "qzSystem/mvc/CqzMvcViewport.h"

#include <memory>
#include <vector>

class CqzSearchCreateViewParameters;
class CqzSearchEventList;

class CqzSearchEventListView : public CqzMvcViewport
{
public:
    // Menu commands of an event's row.
    enum EMenuCommand : unsigned
    {
        eAddAfter = 1,
        eAddBefore,
        eRemove,
        eBracketNext,
        eRemoveBrackets,
        eAddFirst
    };

    explicit CqzSearchEventListView(CqzSearchEventList* list);
    ~CqzSearchEventListView() override;

    // Makes the controls for the list as it is now and places them; the position is left at
    // the start of the row below the last one, the maximum position widened to the right.
    void Layout(CqzSearchCreateViewParameters& parameters);
    void GetWindows(std::vector<CWnd*>& windows) const;

    // The expression read back through the controls, and as the list holds it, in the same
    // words ("(STAT = 50 AND DATA in range 1 to 5) OR ..."): equal whenever the screen shows
    // the model. A value field marked with a problem reads "#" in both.
    CString GetShownText() const;
    CString GetModelText() const;
    // The first value field marked with a problem: its row (from 0) and the reason; false when
    // every field holds what the model holds.
    bool FindProblem(int& row, CString& reason) const;

    // Relayouts are the host's: the view does not answer the list's messages itself.
    void OnUpdate(foundation::ISubject*, foundation::IMessage*) override {}

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
