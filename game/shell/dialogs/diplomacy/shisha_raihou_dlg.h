// CShishaRaihouDlg (dialog 160, "使者来訪"): the player answers the envoy of a computer house. The
// caption comes with the envoy; the question (1064) and the line about the counterpart's rice
// yield and castles (1065) too. "はい" accepts, "いいえ" refuses; "勢力範囲の確認" (1198) opens the
// counterpart's house information. In the modes of applications (3 to 5) the check box "人質を差し
// 出すように要求する" (1232) lets the player demand a hostage with the acceptance; it is hidden
// otherwise and stays off. "はい" has the focus when the dialog opens: Enter answers はい.
//
// CShinjuuSeikouDlg (dialog 165, "臣従化成功"): the notice that a house became the player's
// vassal, with what the player may now order for it.
#pragma once

#include <string>

#include "game/ports/ports.h"
#include "game/state/vocabulary.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class CShishaRaihouDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 160;
    static constexpr int kQuestionId = 1064;
    static constexpr int kInfoId = 1065;
    static constexpr int kSeiryokuId = 1198;
    static constexpr int kHitojichiId = 1232;

    static const ui::DialogTemplate& Template();

    // map: the province map of the house information (null: none).
    CShishaRaihouDlg(const AskPort::EnvoyVisit& visit, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CShishaRaihouDlg() override;

    // After IDOK: whether the player demands a hostage (modes 3 to 5 only).
    bool DemandHostage() const { return demandHostage_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnHelpInfo() override;

private:
    bool HostageOffered() const { return visit_.mode >= 3 && visit_.mode <= 5; }

    AskPort::EnvoyVisit visit_;
    MbKorMap::CCtrlKorMap* korMap_;
    bool demandHostage_ = false;
    MbWnd::CGradationButton yes_;
    MbWnd::CGradationButton no_;
    MbWnd::CGradationButton seiryoku_;
};

// Runs dialog 160 for the envoy and gives the answer.
AskPort::EnvoyReply RunShishaRaihou(ui::Wnd* parent, const AskPort::EnvoyVisit& visit,
                                    MbKorMap::CCtrlKorMap* map);

class CShinjuuSeikouDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 165;
    static constexpr int kTextId = 1064;
    static constexpr int kMoveId = 1092;
    static constexpr int kOrderId = 1093;

    static const ui::DialogTemplate& Template();

    // text: "%sは当家に臣従しました" with the new vassal's name.
    CShinjuuSeikouDlg(const ScenarioWordArray& words, std::string text, ui::Wnd* parent = nullptr);

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override;

private:
    const ScenarioWordArray& words_;
    std::string text_;
    MbWnd::CGradationButton ok_;
};

}  // namespace rymd::shell
