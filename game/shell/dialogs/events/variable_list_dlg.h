// The variable list (dialog 268, "変数一覧"): the scenario's script variables, to look at.
//
// One grid lists the scalars with their values, a second the arrays by name; choosing an array
// shows its elements (index and value) in a third grid under the label "<name> の内容". Values
// are shown as the game shows numbers in texts (whole numbers without decimals, others with
// five). The lists are a copy taken when the dialog opens; OK and Cancel close it.
//
// The scalar grid lies over the placeholder 1295 on the left; on the right the array names over
// 1380, the label 1382 and the elements over 1381; "OK" and "ｷｬﾝｾﾙ" at the bottom right.
#pragma once

#include "game/ports/ports.h"
#include "mbwnd/cell_ctrl.h"
#include "platform/qt/dialog.h"

namespace rymd {

class CVariableListDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 268;
    static constexpr int kScalarPlaceId = 1295;
    static constexpr int kArrayPlaceId = 1380;
    static constexpr int kElementPlaceId = 1381;
    static constexpr int kElementLabelId = 1382;
    static constexpr int kScalarGridId = 2018;
    static constexpr int kArrayGridId = 2019;
    static constexpr int kElementGridId = 2020;

    static const ui::DialogTemplate& VariableListTemplate();

    explicit CVariableListDlg(VariableListView variables, ui::Wnd* parent = nullptr);
    ~CVariableListDlg() override;

    MbWnd::CCellCtrl& ScalarGrid() { return m_ScalarGrid; }
    MbWnd::CCellCtrl& ArrayGrid() { return m_ArrayGrid; }
    MbWnd::CCellCtrl& ElementGrid() { return m_ElementGrid; }

    bool OnInitDialog() override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    void OnArrayListNotify(int line);

    VariableListView m_Variables;
    MbWnd::CCellCtrl m_ScalarGrid;
    MbWnd::CCellCtrl m_ArrayGrid;
    MbWnd::CCellCtrl m_ElementGrid;
};

// Runs the variable list modally (owner null: the main window).
void ShowVariableListDialog(ui::Wnd* owner, const VariableListView& variables);

}  // namespace rymd
