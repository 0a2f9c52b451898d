#include "game/shell/dialogs/domestic/teppou_nyuushu_dlg.h"

#include "game/shell/app/picture_store.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/qt/dc.h"

namespace rymd {

using namespace ui;

const DialogTemplate& CTeppouNyuushuDlg::TeppouNyuushuTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "鉄砲入手";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 290;
        d.cy = 160;
        d.items = {
            {kPictureId, ControlKind::Static, "", 7, 7, 130, 88, SS_LEFT, 0},
            {kLabelId, ControlKind::Static, "鉄砲を入手しました", 144, 7, 139, 10, SS_LEFT, 0},
            {kFrameId, ControlKind::Static, "", 144, 20, 139, 75, SS_LEFT, 0},
            {kStockId, ControlKind::Static, "", 7, 104, 276, 10, SS_LEFT, 0},
            {IDOK, ControlKind::Button, "OK", 233, 139, 50, 14, WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CTeppouNyuushuDlg::CTeppouNyuushuDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, std::string title,
                                     std::span<const std::string> lines, Wnd* parent)
    : Dialog(TeppouNyuushuTemplate(), parent), gs_(gs), map_(map), title_(std::move(title)) {
    // Every line but the last is what arrived; the last is the stock it came to.
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        text_lines_ += lines[i] + "\n";
    if (!lines.empty()) stock_ = lines.back();
}

CTeppouNyuushuDlg::~CTeppouNyuushuDlg() = default;

void CTeppouNyuushuDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
}

Rect CTeppouNyuushuDlg::ChildRect(int id) const {
    Wnd* w = GetDlgItem(id);
    if (!w) return Rect();
    Rect r = w->GetWindowRect();
    ScreenToClient(r);
    return r;
}

bool CTeppouNyuushuDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowText(title_);
    if (Wnd* label = GetDlgItem(kLabelId))
        label->SetWindowText(ReplaceWordTeppou("鉄砲を入手しました", gs_.ScenarioWords));
    if (Wnd* stock = GetDlgItem(kStockId)) stock->SetWindowText(stock_);
    // The scenario's picture when it names one of the map's, else the built-in one.
    if (!shell::CopyScenarioPicture(map_, gs_.nTeppouPicture, picture_))
        shell::PictureStore().LoadTeppou(picture_);
    const Rect frame = ChildRect(kFrameId);
    // The frames only mark places: the dialog paints the picture, the view takes the text's place.
    for (int id : {kFrameId, kPictureId})
        if (Wnd* f = GetDlgItem(id)) f->ShowWindow(SW_HIDE);
    text_.SetReturnLineEnd(true);
    text_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, frame, this, kTextId);
    text_.SetText(text_lines_, false, false);
    return true;
}

void CTeppouNyuushuDlg::OnPaint(Dc& dc) {
    if (picture_.IsEmpty()) return;
    const Rect r = ChildRect(kPictureId);
    dc.StretchControlBmp(r, picture_, Rect(0, 0, picture_.GetWidth(), picture_.GetHeight()));
}

namespace shell {

void ShowTeppouNyuushuDlg(Wnd* owner, const GameState& gs, MbKorMap::CCtrlKorMap* map, std::string_view title,
                          std::span<const std::string> lines) {
    CTeppouNyuushuDlg dlg(gs, map, std::string(title), lines, owner);
    dlg.DoModal();
}

}  // namespace shell

}  // namespace rymd
