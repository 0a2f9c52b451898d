#include "game/shell/dialogs/domestic/ship_report_dlgs.h"

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"

namespace rymd {

using namespace ui;

namespace {

// The report's picture on the left, its first line beside it over the frame of the list, OK below.
DialogTemplate ReportTemplate(const char* caption, int frameId, int cx) {
    DialogTemplate d;
    d.caption = caption;
    d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    d.cx = cx;
    d.cy = 150;
    d.items = {
        {CGunsenCompleteDlg::kPictureId, ControlKind::Static, "", 7, 7, 130, 88, SS_LEFT, 0},
        {CGunsenCompleteDlg::kLabelId, ControlKind::Static, "", 144, 7, cx - 151, 10, SS_LEFT, 0},
        {frameId, ControlKind::Static, "", 144, 20, cx - 151, 103, SS_LEFT, 0},
        {IDOK, ControlKind::Button, "OK", cx - 57, 129, 50, 14, kDialogButton, 0},
    };
    return d;
}

// The frames only mark places: the dialog paints the picture, a view takes the frame's place.
Rect HidePlaces(const Dialog& d, int frameId, int pictureId) {
    const Rect frame = ChildRectOf(d, frameId);
    for (int id : {frameId, pictureId})
        if (Wnd* f = d.GetDlgItem(id)) f->ShowWindow(SW_HIDE);
    return frame;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return cells;
        start = tab + 1;
    }
}

}  // namespace

// --- trade ships home ------------------------------------------------------------------------------

const DialogTemplate& CKouekisenKikouDlg::KouekisenKikouTemplate() {
    static const DialogTemplate t = ReportTemplate("交易船帰港", kFrameId, 390);
    return t;
}

CKouekisenKikouDlg::CKouekisenKikouDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, std::string title,
                                       std::span<const std::string> lines, Wnd* parent)
    : Dialog(KouekisenKikouTemplate(), parent), gs_(gs), map_(map), title_(std::move(title)) {
    if (!lines.empty()) label_ = lines[0];
    for (std::size_t i = 2; i < lines.size(); ++i)
        rows_.push_back(SplitTabs(lines[i]));
}

CKouekisenKikouDlg::~CKouekisenKikouDlg() = default;

void CKouekisenKikouDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
}

bool CKouekisenKikouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowText(title_);
    SetItemText(*this, kLabelId, label_);
    picture_.Load(map_, gs_.nKouekisenReturnPicture, &shell::CPictureStore::LoadShip);
    const Rect frame = HidePlaces(*this, kFrameId, kPictureId);
    grid_.SetSeparater(0);
    grid_.SetStyle(7);
    const int text = 2 | MbWnd::CCellCtrl::kReadOnly;
    const int number = text | MbWnd::CCellCtrl::kRightAlign;
    grid_.SetColumn(0, text, 110, "派遣先");
    grid_.SetColumn(1, text, 110, "帰還港");
    grid_.SetColumn(2, number, 70, "帰還船数");
    grid_.SetColumn(3, number, 70, "収益");
    grid_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, frame, this, kGridId);
    grid_.SetLineSize(static_cast<int>(rows_.size()));
    for (int line = 0; line < static_cast<int>(rows_.size()); ++line) {
        const std::vector<std::string>& cells = rows_[static_cast<std::size_t>(line)];
        for (int c = 0; c < 4 && c < static_cast<int>(cells.size()); ++c)
            grid_.SetLineItem(line, c, cells[static_cast<std::size_t>(c)].c_str());
    }
    return true;
}

void CKouekisenKikouDlg::OnPaint(Dc& dc) {
    picture_.Paint(*this, kPictureId, dc);
}

// --- warships completed -----------------------------------------------------------------------------

const DialogTemplate& CGunsenCompleteDlg::GunsenCompleteTemplate() {
    static const DialogTemplate t = ReportTemplate("軍船建造完了", kFrameId, 340);
    return t;
}

CGunsenCompleteDlg::CGunsenCompleteDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, std::string title,
                                       std::span<const std::string> lines, Wnd* parent)
    : Dialog(GunsenCompleteTemplate(), parent), gs_(gs), map_(map), title_(std::move(title)) {
    if (!lines.empty()) label_ = lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i)
        body_ += lines[i] + "\n";
}

CGunsenCompleteDlg::~CGunsenCompleteDlg() = default;

void CGunsenCompleteDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
}

bool CGunsenCompleteDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowText(title_);
    SetItemText(*this, kLabelId, label_);
    picture_.Load(map_, gs_.nGunsenCompletePicture, &shell::CPictureStore::LoadGunsen);
    const Rect frame = HidePlaces(*this, kFrameId, kPictureId);
    text_.SetReturnLineEnd(true);
    text_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, frame, this, kTextId);
    text_.SetText(body_, false, false);
    return true;
}

void CGunsenCompleteDlg::OnPaint(Dc& dc) {
    picture_.Paint(*this, kPictureId, dc);
}

namespace shell {

void ShowKouekisenKikouDlg(Wnd* owner, const GameState& gs, MbKorMap::CCtrlKorMap* map,
                           std::string_view title, std::span<const std::string> lines) {
    CKouekisenKikouDlg dlg(gs, map, std::string(title), lines, owner);
    dlg.DoModal();
}

void ShowGunsenCompleteDlg(Wnd* owner, const GameState& gs, MbKorMap::CCtrlKorMap* map,
                           std::string_view title, std::span<const std::string> lines) {
    CGunsenCompleteDlg dlg(gs, map, std::string(title), lines, owner);
    dlg.DoModal();
}

}  // namespace shell

}  // namespace rymd
