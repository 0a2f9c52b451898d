// The ports of the Qt program: what the rules tell and ask the player appears in the game's own
// message boxes and dialogs.
//
//   Inform       MbMsgBox
//   AskYesNo     MbMsgBoxYesNo; with defaultYes false the focus starts on "いいえ"
//   AskOkCancel  MbMsgBoxOkCancel
//   AskChoice    a box with one gradient button per choice, in a column
//   AskNumber    a box with a number field and "OK"
//   AskOpenFile  the platform's file dialog
//   AskEventChoice, AskEventNumber  the event input dialog (event_input_dlg.h)
//   ShowEventMessage  the event message dialog (event_msg_dlg.h)
//   ShowLongText  the text viewer (long_text_dlg.h), over the picture when there is one
//   ShowReport   a box with the text in a rich-text view and "OK"; the month's
//                battle results (ReportKind::BattleResults) in their own dialog (合戦結果),
//                the musket deliveries in the dialog given by SetMusketReport, the trade
//                ships' return and the warships completed in those given by SetShipReports
//   ShowScheduledEvent  the event dialog (event_dlg.h) over the province map given by SetMap
//   AskHarvestTax  the harvest dialog (shuukaku_dlg.h) over the province map given by SetMap
//   ShowIncomeReport  the income report (shuushi_houkoku_dlg.h)
//   ShowDeathsAndAppearances  the deaths and appearances report (shikyo_toujou_dlg.h)
//   ShowVariableList    the variable list (variable_list_dlg.h)
//   PlayMusic, StopMusic  the music player given by SetMusic (music_player.h)
//   PlayYasen    the field-battle dialog (yasen_dlg.h)
//   PlayKaisen   the naval-battle dialog (kaisen_dlg.h), with the battle music
//   PlayKoujousen  the battle music and the siege dialog (koujousen_dlg.h)
//   AskEnvoyVisit  the dialog given by SetEnvoyDialog (the envoy visit, shisha_raihou_dlg.h)
//   AskHitojichiOffer  the hostage-offer dialog (hitojichi_dlgs.h)
//   AskRecruit   the recruitment choice (recruit_dlg.h)
//   PlayKoufukuBushou  the surrendered-generals dialog (horyo_dlgs.h)
// A box that cannot be shown answers with the safe default of ports.h. The other views do
// nothing yet.
#pragma once

#include <functional>

#include "game/ports/ports.h"

namespace rymd::ui {
class Wnd;
}

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {
class MusicPlayer;
}

namespace rymd {

class QtPort final : public InformPort, public AskPort, public ReportPort, public PlayPort, public ViewPort {
public:
    // owner: the window the dialogs belong to (null: the main window).
    explicit QtPort(ui::Wnd* owner = nullptr) : owner_(owner) {}

    void Inform(std::string_view text) override;
    bool AskYesNo(std::string_view text, bool defaultYes) override;
    bool AskOkCancel(std::string_view text) override;
    int AskChoice(std::string_view prompt, std::span<const std::string> choices, int defaultChoice) override;
    double AskNumber(std::string_view prompt) override;
    std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                           std::string_view initialFolder) override;
    int AskEventChoice(std::string_view prompt, std::span<const std::string> choices) override;
    double AskEventNumber(std::string_view prompt) override;
    void ShowLongText(std::string_view title, std::string_view body, std::span<const std::uint8_t> picture,
                      Colour colour) override;
    void ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) override;
    void ShowScheduledEvent(const ScheduledEventReport& report) override;
    void ShowVariableList(const VariableListView& variables) override;
    // Music: a situation (0 normal, 1 battle) is asked for only when it is not the current one,
    // so the month start keeps the piece that plays; stopping and asking again restarts it.
    void PlayMusic(int track) override;
    void StopMusic() override;
    void ShowEventMessage(std::string_view title, std::string_view text,
                          const VariableListView& variables) override;
    // A field battle of the player's own troops: the deployment and field-battle dialogs
    // (yasen_dlg.h), with the battle music.
    bool PlayYasen(YasenSession& session) override;
    bool PlayKaisen(KaisenSession& session) override;
    // The player's siege: the battle music, then the siege dialog (koujousen_dlg.h).
    bool PlayKoujousen(KoujousenSession& session) override;

    // The personnel dialogs.
    int AskHitojichiOffer(const HitojichiOffer& offer) override;
    bool AskRecruit(const RecruitOffer& offer) override;
    bool PlayKoufukuBushou(KoufukuBushouSession& session) override;

    // The month's reports in their dialogs: the harvest (shuukaku_dlg.h) over the province map,
    // the income report (shuushi_houkoku_dlg.h), the deaths and appearances
    // (shikyo_toujou_dlg.h).
    int AskHarvestTax(const HarvestView& view) override;
    void ShowIncomeReport(const IncomeReportView& view) override;
    void ShowDeathsAndAppearances(const DeathAppearView& view) override;

    // The province map the event dialog draws (null: none; the dialog's map stays empty).
    void SetMap(MbKorMap::CCtrlKorMap* map) { map_ = map; }
    // The music player (null: no music).
    void SetMusic(shell::MusicPlayer* music) { music_ = music; }
    // The dialog of the musket delivery report (empty: the plain report box).
    using ReportDialog = std::function<void(std::string_view title, std::span<const std::string> lines)>;
    void SetMusketReport(ReportDialog show) { musketReport_ = std::move(show); }
    // The dialogs of the trade ships home and the warships completed (empty: the plain box).
    void SetShipReports(ReportDialog tradeShips, ReportDialog warships) {
        tradeShipReport_ = std::move(tradeShips);
        warshipReport_ = std::move(warships);
    }

    // The envoy of a computer house: the dialog given by SetEnvoyDialog (the envoy-visit dialog
    // of the main window), else the plain Yes/No or choice box.
    EnvoyReply AskEnvoyVisit(const EnvoyVisit& visit) override;
    using EnvoyDialog = std::function<EnvoyReply(const EnvoyVisit& visit)>;
    void SetEnvoyDialog(EnvoyDialog show) { envoyDialog_ = std::move(show); }

    Ports AsPorts() { return PortsOf(*this); }

    // Control ids of the port's own boxes (for scripted tests).
    static constexpr int kChoiceFirstId = 1000;  // choice i has the id 1000 + i
    static constexpr int kNumberFieldId = 1001;
    static constexpr int kTextViewId = 1002;

private:
    ui::Wnd* owner_;
    MbKorMap::CCtrlKorMap* map_ = nullptr;
    shell::MusicPlayer* music_ = nullptr;
    ReportDialog musketReport_;
    EnvoyDialog envoyDialog_;
    ReportDialog tradeShipReport_;
    ReportDialog warshipReport_;
};

}  // namespace rymd
