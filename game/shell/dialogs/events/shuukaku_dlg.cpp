#include "game/shell/dialogs/events/shuukaku_dlg.h"

#include <utility>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "platform/qt/app.h"
#include "platform/qt/controls.h"

namespace rymd {

using namespace ui;

namespace {
constexpr std::array<const char*, 3> kLegendTbl = {"豊作", "通常", "不作"};
constexpr std::array<int, 3> kLegendQualityTbl = {1, 0, -1};
}  // namespace

Colour CHarvestDlg::QualityColour(int quality) {
    if (quality > 0) return RGB(255, 255, 100);
    if (quality < 0) return RGB(200, 100, 50);
    return RGB(200, 200, 20);
}

const DialogTemplate& CHarvestDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "収穫";
        d.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        d.cx = 318;
        d.cy = 216;
        d.items = {
            {-1, ControlKind::Static, "米の収穫期です", 7, 7, 160, 10, SS_LEFT, 0},
            {-1, ControlKind::Static, "各地の収穫状況", 7, 21, 160, 10, SS_LEFT, 0},
            {kMapPlaceId, ControlKind::Custom, "", 7, 33, 224, 176, 0, 0},
        };
        // The legend: a swatch and its word for each harvest.
        for (int i = 0; i < 3; ++i) {
            d.items.push_back({kFirstSwatchId + i, ControlKind::Custom, "", 240, 35 + 13 * i, 14, 9, 0, 0});
            d.items.push_back({kFirstLegendId + i, ControlKind::Static,
                               kLegendTbl[static_cast<std::size_t>(i)], 258, 35 + 13 * i, 50, 10, SS_LEFT,
                               0});
        }
        d.items.push_back({-1, ControlKind::Button, "税率設定", 238, 76, 73, 112, BS_GROUPBOX, 0});
        for (int i = 0; i < kRateCount; ++i) {
            const std::uint32_t style = WS_TABSTOP | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0u);
            d.items.push_back(
                {kFirstRateId + i, ControlKind::Button, "", 246, 88 + 11 * i, 62, 10, style, 0});
        }
        d.items.push_back({IDOK, ControlKind::Button, "OK", 250, 195, 50, 14, kDialogButton | WS_GROUP, 0});
        return d;
    }();
    return t;
}

CHarvestDlg::CHarvestDlg(HarvestView view, MbKorMap::CCtrlKorMap* map, Wnd* owner)
    : Dialog(Template(), owner), view_(std::move(view)), korMap_(map) {
    m_nTaxIndex = view_.preset;
}

CHarvestDlg::~CHarvestDlg() = default;

void CHarvestDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
}

bool CHarvestDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (Wnd* place = GetDlgItem(kMapPlaceId)) place->ShowWindow(SW_HIDE);
    map_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                  MapDialogRect(DialogItemRect(Template(), kMapPlaceId)), this, kMapId);
    std::vector<CEventMapWnd::PaintedKuni> painted;
    for (std::size_t k = 0; k < view_.qualities.size(); ++k)
        painted.push_back({static_cast<int>(k), QualityColour(view_.qualities[k])});
    map_.DrawPaintedMap(korMap_, painted);

    for (int i = 0; i < 3; ++i) {
        const int id = kFirstSwatchId + i;
        if (Wnd* place = GetDlgItem(id)) place->ShowWindow(SW_HIDE);
        CColourSwatch& swatch = swatches_[static_cast<std::size_t>(i)];
        swatch.SetColour(QualityColour(kLegendQualityTbl[static_cast<std::size_t>(i)]));
        swatch.Create(WS_CHILD | WS_VISIBLE, MapDialogRect(DialogItemRect(Template(), id)), this, id + 100);
    }

    // The rates as the rules name them; a rate the rules do not offer is not shown.
    for (int i = 0; i < kRateCount; ++i) {
        auto* radio = dynamic_cast<Button*>(GetDlgItem(kFirstRateId + i));
        if (radio == nullptr) continue;
        const bool offered = i < static_cast<int>(view_.choices.size());
        radio->SetWindowText(offered ? view_.choices[static_cast<std::size_t>(i)] : std::string());
        radio->ShowWindow(offered ? SW_SHOW : SW_HIDE);
        radio->SetCheck(i == m_nTaxIndex ? BST_CHECKED : BST_UNCHECKED);
    }
    ok_.SetFocus();
    return false;
}

bool CHarvestDlg::OnCommand(int id, int code, Wnd* from) {
    const int rate = id - kFirstRateId;
    if (code == BN_CLICKED && rate >= 0 && rate < kRateCount) {
        m_nTaxIndex = rate;
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

void CHarvestDlg::OnOK() {
    for (int i = 0; i < kRateCount; ++i)
        if (auto* radio = dynamic_cast<Button*>(GetDlgItem(kFirstRateId + i)); radio && radio->GetCheck())
            m_nTaxIndex = i;
    EndDialog(IDOK);
}

int ShowHarvestDlg(Wnd* owner, const HarvestView& view, MbKorMap::CCtrlKorMap* map) {
    EnsureApplication();
    CHarvestDlg dlg(view, map, owner);
    if (dlg.DoModal() != IDOK) return view.preset;
    return dlg.m_nTaxIndex;
}

}  // namespace rymd
