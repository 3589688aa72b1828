#pragma once
// A filter tool whose dialog is opened as a host opens it (GetUICmds(5), Execute) and driven
// by a person-level script that runs inside the dialog's modal loop. A script that leaves the
// dialog open has it cancelled.

#include "common/ManagerReset.h"
#include "common/UiDriver.h"
#include "editor/CqzFilterActionView.h"
#include "editor/CqzFilterDlg.h"
#include "editor/CqzFilterModelView.h"
#include "editor/CqzFilterView.h"
#include "model/CqzFilterModel.h"
#include "qzSystem/commands/CqzUICmdBase.h"
#include "qzSystem/managers/CqzOptionsMgr.h"
#include "tool/CqzFilter.h"

#include <QAbstractButton>
#include <QCoreApplication>

class EditorFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        CqzOptionsMgr::Instance().Reset();
        GUID addInClass{};
        tool = std::make_unique<CqzFilter>(CqzID(), CqzID(), CqzID(), addInClass);
    }

    // Opens the dialog through the tool's editor command and runs `script` in it.
    int Edit(const std::function<void(CqzFilterDlg&)>& script)
    {
        bool ran = false;
        ui::Answer answer(
            []
            {
                QWidget* modal = QApplication::activeModalWidget();
                return modal != nullptr && modal->windowTitle() == "Filter" ? modal : nullptr;
            },
            [&](QWidget* widget)
            {
                auto* dialog = static_cast<CqzFilterDlg*>(
                    static_cast<CWnd*>(const_cast<void*>(ui::BoundTo(widget))));
                // Room for every term, as a person would make it.
                widget->resize(widget->width(), widget->height() + 320);
                Settle();
                script(*dialog);
                ran = true;
                if (QApplication::activeModalWidget() == widget)
                    dialog->EndDialog(IDCANCEL);
            },
            "dialog Filter");
        const int result = tool->GetUICmds(CqzUICmdBase::TypeID).at(0)->Execute();
        EXPECT_TRUE(ran);
        return result;
    }

    // Lets the posted relayouts run.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
        {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    // Presses a button of a nested dialog by its text.
    static void Press(QWidget* modal, const QString& text)
    {
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            if (ui::Plain(button->text()) == text)
                return button->click();
        ADD_FAILURE() << "no button " << text.toStdString();
    }

    static CqzFilterModelView* Terms(CqzFilterDlg& dialog)
    {
        return dialog.GetFilterModel().GetView();
    }
    static CqzFilterActionView* Action(CqzFilterDlg& dialog, int term)
    {
        return dialog.GetFilterModel()
            .GetTerms()
            .at(static_cast<std::size_t>(term))
            .action->GetView();
    }

    // Chooses an item of a term's menu, as a person does.
    static void TermCommand(CqzFilterDlg& dialog, int term, const QString& item)
    {
        Choose(Terms(dialog)->GetButton(term), item);
    }

    static QStringList MenuTexts(CWnd* button)
    {
        QStringList texts;
        auto read = ui::ReadPopup(texts);
        ui::Click(button);
        EXPECT_TRUE(read->Wait());
        Settle();
        return texts;
    }

    static void Choose(CWnd* button, const QString& item)
    {
        auto choose = ui::ChooseInPopup(item);
        ui::Click(button);
        EXPECT_TRUE(choose->Wait());
        Settle();
    }

    void AddFavorites(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            CqzFilterModel model(tool->GetFilterModel());
            model.SetName(CString(L"Fav" + std::to_wstring(i + 1)));
            tool->StoreFavorite(model, -1);
        }
    }

    std::unique_ptr<CqzFilter> tool;
};
