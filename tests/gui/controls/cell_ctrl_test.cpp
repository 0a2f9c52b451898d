// The grid control: panes and separator, notifications, editing, sorting, keys, wheel, Tab walk,
// multi-line selection, odd input, and pixels at stated points.
#include <string>
#include <vector>

#include "gui/gui_test_util.h"
#include "mbwnd/cell_ctrl.h"
#include "platform/qt/app.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CCellCtrl;
using ui::RGB;

struct Note {
    int code;
    int column;
    int line;
    int x;
    int y;
    double oldValue;
    std::string oldText;
};

// A parent that records the grid's notifications.
class GridHost : public HostWindow {
public:
    bool OnNotify(int, ui::NotifyHeader* h, std::intptr_t*) override {
        Note n{h->code, -99, -99, 0, 0, 0, {}};
        if (h->code == MbWnd::kCellChanged) {
            auto* c = reinterpret_cast<MbWnd::tagCellChangeNotify*>(h);
            n.column = c->column;
            n.line = c->line;
            n.oldValue = c->oldValue;
            n.oldText = c->oldText;
        } else if (h->code != MbWnd::kCellLineSelChange) {
            auto* c = reinterpret_cast<MbWnd::tagCellNotify*>(h);
            n.column = c->column;
            n.line = c->line;
            n.x = c->x;
            n.y = c->y;
        }
        EXPECT_EQ(h->idFrom, 2006);
        notes.push_back(n);
        return true;
    }
    std::vector<int> Codes() const {
        std::vector<int> out;
        for (const Note& n : notes)
            out.push_back(n.code);
        return out;
    }
    const Note* Last(int code) const {
        for (auto it = notes.rbegin(); it != notes.rend(); ++it)
            if (it->code == code) return &*it;
        return nullptr;
    }
    std::vector<Note> notes;
};

class CellCtrlTest : public GuiTest {
protected:
    // A grid like the game's: separator sep, columns 名前 (text), 武力 (integer, right), 石高
    // (decimal, 2 places), lines with user data 100 + i.
    void Make(std::uint32_t style, int sep = 1, int lines = 5, int w = 300, int h = 160) {
        ASSERT_TRUE(host.Open(w + 40, h + 40));
        grid.SetSeparater(sep);
        grid.SetStyle(style);
        grid.SetFontSize(0);
        grid.SetColumn(0, 2, 60, "名前", 0);
        grid.SetColumn(1, 0 | CCellCtrl::kRightAlign, 40, "武力", 0);
        grid.SetColumn(2, 1, 50, "石高", 2);
        ASSERT_TRUE(grid.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE,
                                  Rect(10, 10, 10 + w, 10 + h), &host, 2006));
        grid.SetLineSize(lines);
        for (int i = 0; i < lines; ++i) {
            grid.SetLineItem(i, 0, ("武将" + std::to_string(i)).c_str());
            grid.SetLineItem(i, 1, 50.0 + i);
            grid.SetLineItem(i, 2, 1.5 * i);
            grid.SetLineData(i, 100 + i);
        }
        host.notes.clear();
    }
    // The point in the middle of a cell, in the client coordinates of the pane holding it.
    Point CellPoint(int line, int col) {
        MbWnd::CCellPane& p = grid.PaneOf(col);
        return p.CellRect(line, grid.PaneColumn(col)).CenterPoint();
    }
    MbWnd::CCellPane& Pane(int col) { return grid.PaneOf(col); }
    void ClickCell(int line, int col) {
        ui::test::MouseDown(Pane(col), CellPoint(line, col));
        ui::test::MouseUp(Pane(col), CellPoint(line, col));
    }
    int State() {
        int l, c, s;
        grid.GetSelectedCell(&l, &c, &s);
        return s;
    }

    GridHost host;
    CCellCtrl grid;
};

// ---- Panes and separator ----------------------------------------------------------------------------

TEST_F(CellCtrlTest, SeparatorZeroLeavesOnlyTheRightPaneWithEveryColumnAndTheLineNumbers) {
    Make(CCellCtrl::kStyleLineNumber, 0);
    EXPECT_FALSE(grid.LeftPane().IsWindowVisible());
    EXPECT_FALSE(grid.Separator().IsWindowVisible());
    EXPECT_EQ(grid.RightPane().ColumnCount(), 3);
    EXPECT_EQ(grid.RightPane().LineNumWidth(), 40);
    EXPECT_EQ(grid.LeftPane().LineNumWidth(), 0);
    EXPECT_EQ(grid.RightPane().GetWindowRect().Width(), grid.GetClientRect().Width());
    EXPECT_EQ(grid.GetColumnCount(), 3);
}

TEST_F(CellCtrlTest, TheLeftWidthFollowsTheLeftColumnsAndTheSeparatorDragIsClamped) {
    Make(CCellCtrl::kStyleLineNumber, 1);
    // 1 + line numbers 40 + (60 + 1).
    EXPECT_EQ(grid.GetLeftWidth(), 102);
    EXPECT_EQ(grid.Separator().GetWindowRect().Width(), 7);
    const int client = grid.GetClientRect().Width();
    struct Case {
        int dx;
        int expected;
    } cases[] = {{-30, 72}, {-500, 10}, {5000, client - 10}};
    for (const Case& c : cases) {
        ui::test::MouseDown(grid.Separator(), Point(3, 20));
        ui::test::MouseMove(grid.Separator(), Point(3 + c.dx, 20), true);
        ui::test::MouseUp(grid.Separator(), Point(3 + c.dx, 20));
        EXPECT_EQ(grid.GetLeftWidth(), c.expected) << c.dx;
        Rect r = grid.RightPane().GetWindowRect();
        grid.ScreenToClient(r);
        EXPECT_EQ(r.left, c.expected + 7);
    }
}

// ---- Notifications ------------------------------------------------------------------------------------

TEST_F(CellCtrlTest, NotificationsCarryTheGridColumnsAndTheGridsClientCoordinates) {
    Make(CCellCtrl::kStyleLineNumber, 1);
    // Left click in the right pane: code 1 for each pane's change, then code 0 with the point.
    const Point p = CellPoint(2, 1);
    ui::test::MouseDown(Pane(1), p);
    ui::test::MouseUp(Pane(1), p);
    const Note* click = host.Last(MbWnd::kCellClick);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->column, 1);
    EXPECT_EQ(click->line, 2);
    EXPECT_EQ(click->x, p.x + grid.GetLeftWidth() + 7);
    EXPECT_EQ(click->y, p.y);
    const Note* sel = host.Last(MbWnd::kCellSelChange);
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(sel->column, 1);
    EXPECT_EQ(sel->line, 2);

    struct LabelCase {
        int col;  // column whose label is clicked, -1: the line-number label
        int expected;
    } labels[] = {{0, 0}, {2, 2}, {-1, 32767}};
    for (const LabelCase& c : labels) {
        host.notes.clear();
        MbWnd::CCellPane& pane = c.col < 0 ? grid.LeftPane() : Pane(c.col);
        Point lp =
            c.col < 0 ? Point(10, 5) : Point(pane.CellRect(0, grid.PaneColumn(c.col)).CenterPoint().x, 5);
        ui::test::MouseDown(pane, lp);
        ASSERT_EQ(host.Codes(), std::vector<int>{MbWnd::kCellLabelClick}) << c.col;
        EXPECT_EQ(host.notes[0].column, c.expected);
    }

    host.notes.clear();
    ui::test::MouseDown(Pane(2), CellPoint(1, 2), true);
    ui::test::MouseUp(Pane(2), CellPoint(1, 2), true);
    EXPECT_EQ(host.Codes(),
              (std::vector<int>{MbWnd::kCellSelChange, MbWnd::kCellRButtonDown, MbWnd::kCellRButtonUp}));
    EXPECT_EQ(host.notes[1].column, 2);
    EXPECT_EQ(host.notes[2].line, 1);

    host.notes.clear();
    ui::test::DoubleClick(Pane(0), CellPoint(3, 0));
    const Note* dbl = host.Last(MbWnd::kCellDblClick);
    ASSERT_NE(dbl, nullptr);
    EXPECT_EQ(dbl->column, 0);
    EXPECT_EQ(dbl->line, 3);
    const Note* begin = host.Last(MbWnd::kCellEditBegin);
    ASSERT_NE(begin, nullptr);
    EXPECT_EQ(begin->line, 3);
    EXPECT_EQ(State(), 1);
}

TEST_F(CellCtrlTest, ALineNumberLabelOfTheRightPaneCountsFromTheSeparator) {
    Make(CCellCtrl::kStyleLineNumber, 0);
    ui::test::MouseDown(grid.RightPane(), Point(10, 5));
    ASSERT_EQ(host.Codes(), std::vector<int>{MbWnd::kCellLabelClick});
    EXPECT_EQ(host.notes[0].column, 32767);
}

// ---- Editing -------------------------------------------------------------------------------------------

TEST_F(CellCtrlTest, TypingReplacesEnterLoadsTheOldTextAndEscapeStoresNothing) {
    Make(0, 1);
    grid.SelectCell(1, 0);
    EXPECT_EQ(State(), 0);
    host.notes.clear();
    ui::test::TypeText(grid, "X");
    EXPECT_EQ(State(), 1);
    EXPECT_EQ(grid.LeftPane().Editor().GetWindowText(), "X");
    ui::test::TypeText(grid, "Y");
    grid.StoreEditValue();
    EXPECT_EQ(State(), 0);
    EXPECT_EQ(grid.GetCellText(1, 0), "XY");
    const Note* ch = host.Last(MbWnd::kCellChanged);
    ASSERT_NE(ch, nullptr);
    EXPECT_EQ(ch->column, 0);
    EXPECT_EQ(ch->line, 1);
    EXPECT_EQ(ch->oldText, "武将1");

    // Enter opens with the old text and sends code 8; Escape closes and sends nothing.
    host.notes.clear();
    ui::test::PressKey(grid, ui::VK_RETURN);
    EXPECT_EQ(State(), 1);
    EXPECT_EQ(grid.LeftPane().Editor().GetWindowText(), "XY");
    EXPECT_EQ(host.Codes(), std::vector<int>{MbWnd::kCellEditBegin});
    ui::test::TypeText(grid, "Z");
    ui::test::PressKey(grid, ui::VK_ESCAPE);
    EXPECT_EQ(State(), 0);
    EXPECT_EQ(grid.GetCellText(1, 0), "XY");
    EXPECT_EQ(host.Codes(), std::vector<int>{MbWnd::kCellEditBegin});
    EXPECT_EQ(grid.LeftPane().Editor().GetWindowText(), "");
}

TEST_F(CellCtrlTest, EnterCommitsANumberAndMovesDownWithTheOldValueInTheChange) {
    Make(0, 1);
    grid.SelectCell(0, 1);
    ui::test::TypeText(grid, "123.9abc");
    host.notes.clear();
    ui::test::PressKey(grid, ui::VK_RETURN);
    int v = 0;
    grid.GetLineItem(0, 1, &v);
    EXPECT_EQ(v, 123);
    const Note* ch = host.Last(MbWnd::kCellChanged);
    ASSERT_NE(ch, nullptr);
    EXPECT_EQ(ch->oldValue, 50.0);
    EXPECT_EQ(ch->column, 1);
    int l, c, s;
    ASSERT_TRUE(grid.GetSelectedCell(&l, &c, &s));
    EXPECT_EQ(l, 1);
    EXPECT_EQ(c, 1);
    // The same value committed again changes nothing and sends no code 2.
    host.notes.clear();
    ui::test::TypeText(grid, "51");
    ui::test::PressKey(grid, ui::VK_RETURN);
    EXPECT_EQ(host.Last(MbWnd::kCellChanged), nullptr);
}

TEST_F(CellCtrlTest, TheNewLineRowInsertsALineOnlyForANonEmptyEntry) {
    Make(CCellCtrl::kStylePastEnd | CCellCtrl::kStyleNewLineRow, 0, 2);
    grid.SelectCell(2, 0);
    ui::test::PressKey(grid, ui::VK_RETURN);  // opens the editor, empty
    EXPECT_EQ(State(), 1);
    grid.StoreEditValue();
    EXPECT_EQ(grid.GetLineSize(), 2);
    grid.SelectCell(2, 0);
    ui::test::TypeText(grid, "新顔");
    ui::test::PressKey(grid, ui::VK_RETURN);
    EXPECT_EQ(grid.GetLineSize(), 3);
    EXPECT_EQ(grid.GetCellText(2, 0), "新顔");
    EXPECT_EQ(grid.GetLineNumber(2), 2);
}

TEST_F(CellCtrlTest, TextBeyondTheEditorsLimitIsCutOnACharacterBoundary) {
    Make(0, 0);
    grid.SelectCell(0, 0);
    std::string longText;
    for (int i = 0; i < 150; ++i)
        longText += "長";
    ui::test::TypeText(grid, "a");
    grid.InsertTextToEditCell(longText.c_str());
    grid.StoreEditValue();
    // 199 bytes of the game's encoding: the letter and 99 double-byte characters.
    std::string expected = "a";
    for (int i = 0; i < 99; ++i)
        expected += "長";
    EXPECT_EQ(grid.GetCellText(0, 0), expected);
}

TEST_F(CellCtrlTest, PastingThroughTheClipboardKeepsItsText) {
    Make(0, 0);
    struct Case {
        std::optional<std::string> before;
    } cases[] = {{std::string("元の文")}, {std::nullopt}};
    for (const Case& c : cases) {
        ui::SetClipboardText(c.before ? *c.before : "");
        grid.SelectCell(0, 0);
        ui::test::TypeText(grid, "x");
        grid.InsertTextToEditCell("貼付");
        grid.StoreEditValue();
        EXPECT_EQ(grid.GetCellText(0, 0), "x貼付");
        EXPECT_EQ(ui::GetClipboardText().value_or(""), c.before.value_or(""));
    }
}

TEST_F(CellCtrlTest, StyleFourOpensNothingAndReadOnlyColumnsAreNeverEdited) {
    Make(CCellCtrl::kStyleNoEdit, 0);
    grid.SelectCell(1, 0);
    ui::test::PressKey(grid, ui::VK_RETURN);
    ui::test::TypeText(grid, "q");
    EXPECT_EQ(State(), 0);
    EXPECT_EQ(grid.GetCellText(1, 0), "武将1");
}

TEST_F(CellCtrlTest, AHintColumnShowsItsChoicesInATipOfAtMostNineteenLines) {
    ASSERT_TRUE(host.Open(340, 200));
    grid.SetColumn(0, 4, 80, "候補", 0);
    for (int i = 0; i < 25; ++i)
        grid.AddItemList(0, ("候補" + std::to_string(i)).c_str());
    ASSERT_TRUE(grid.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(10, 10, 300, 150), &host, 2006));
    grid.SetLineSize(3);
    grid.SelectCell(1, 0);
    ui::test::PressKey(grid, ui::VK_RETURN);
    EXPECT_EQ(State(), 1);
    EXPECT_TRUE(grid.RightPane().Tip().IsWindowVisible());
    EXPECT_EQ(grid.RightPane().Tip().Lines().size(), 19u);
    grid.StoreEditValue();
    EXPECT_FALSE(grid.RightPane().Tip().IsWindowVisible());
}

TEST_F(CellCtrlTest, AChoiceColumnEditsWithItsDropDownList) {
    Make(0, 0, 3);
    grid.SetColumn(3, 3, 50, "兵種", 0);
    grid.AddItemList(3, "足軽");
    grid.AddItemList(3, "騎馬");
    grid.SetLineSize(3);
    grid.RightPane().RecalcScrollSizes();
    grid.SelectCell(1, 3);
    ui::test::PressKey(grid, ui::VK_RETURN);
    ui::ComboBox& list = grid.RightPane().List();
    ASSERT_TRUE(list.IsWindowVisible());
    EXPECT_EQ(State(), 1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetCurSel(), 0);
    host.notes.clear();
    list.SetCurSel(1);
    list.ShowDropDown(false);  // the close-up commits
    EXPECT_EQ(State(), 0);
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(grid.GetCellText(1, 3), "騎馬");
    const Note* ch = host.Last(MbWnd::kCellChanged);
    ASSERT_NE(ch, nullptr);
    EXPECT_EQ(ch->oldValue, 0.0);
}

// ---- Sorting -------------------------------------------------------------------------------------------

int CALLBACK_ByTens(std::intptr_t a, std::intptr_t b, std::intptr_t) {
    return static_cast<int>(a / 10 - b / 10);
}

TEST_F(CellCtrlTest, SortingKeepsTheFirstOfEqualKeysInFrontAndTheSelectedRecordSelected) {
    Make(0, 1, 6);
    const int data[] = {31, 10, 12, 30, 11, 20};
    for (int i = 0; i < 6; ++i) {
        grid.SetLineData(i, data[i]);
        grid.SetLineItem(i, 0, std::to_string(data[i]).c_str());
    }
    grid.MultiLineSelect(3, true);
    grid.SelectCell(4, 2);  // the line holding 11
    host.notes.clear();
    grid.SortItems(CALLBACK_ByTens, 0);
    // Keys by tens: 3 1 1 3 1 2 -> the first 1 (10) leads its run.
    EXPECT_EQ(grid.GetLineData(0), 10);
    std::vector<int> tens;
    for (int i = 0; i < 6; ++i)
        tens.push_back(grid.GetLineData(i) / 10);
    EXPECT_EQ(tens, (std::vector<int>{1, 1, 1, 2, 3, 3}));
    int l, c, s;
    ASSERT_TRUE(grid.GetSelectedCell(&l, &c, &s));
    EXPECT_EQ(grid.GetLineData(l), 11);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(grid.GetCellText(l, 0), "11");
    // The line's selected flag and number went with it.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(grid.GetSelectStat(i), grid.GetLineData(i) == 30) << i;
    EXPECT_FALSE(grid.CheckLineNumberOrder());
    grid.SortLines([](std::intptr_t a, std::intptr_t b, std::intptr_t) { return static_cast<int>(a - b); },
                   0);
    EXPECT_TRUE(grid.CheckLineNumberOrder());
    EXPECT_EQ(grid.GetLineData(0), 31);
}

TEST_F(CellCtrlTest, DeletingALineRenumbersAndKeepsTheSelectionInside) {
    Make(0, 0, 4);
    grid.SelectCell(3, 1);
    grid.DeleteLine(1);
    EXPECT_EQ(grid.GetLineSize(), 3);
    int l, c, s;
    ASSERT_TRUE(grid.GetSelectedCell(&l, &c, &s));
    EXPECT_EQ(l, 2);
    EXPECT_TRUE(grid.CheckLineNumberOrder());
    grid.DeleteLine(2);
    grid.GetSelectedCell(&l, &c, &s);
    EXPECT_EQ(l, 1);
    grid.DeleteAllLine();
    EXPECT_FALSE(grid.GetSelectedCell(&l, &c, &s));
    EXPECT_EQ(grid.GetLineNumber(0), -1);
}

// ---- Mouse, keys, wheel, Tab ---------------------------------------------------------------------------

TEST_F(CellCtrlTest, AColumnBorderDragStopsAtEightPixels) {
    Make(0, 0);
    MbWnd::CCellPane& p = grid.RightPane();
    const int border = p.ColumnLeft(0) + 60;
    ui::test::MouseDown(p, Point(border, 5));
    ui::test::MouseMove(p, Point(border - 100, 5), true);
    EXPECT_EQ(p.Column(0)->width, 8);
    ui::test::MouseMove(p, Point(border + 20, 5), true);
    EXPECT_EQ(p.Column(0)->width, 80);
    ui::test::MouseUp(p, Point(border + 20, 5));
    EXPECT_TRUE(host.notes.empty());
}

TEST_F(CellCtrlTest, OneWheelMessageScrollsOneLineWhateverItsDeltaAndBothPanesFollow) {
    Make(0, 1, 40);
    ui::test::Wheel(grid.RightPane(), Point(50, 50), -360);
    EXPECT_EQ(grid.RightPane().GetScrollPosition().y, 1);
    EXPECT_EQ(grid.LeftPane().GetScrollPosition().y, 1);
    ui::test::Wheel(grid.LeftPane(), Point(20, 50), -120);
    EXPECT_EQ(grid.RightPane().GetScrollPosition().y, 2);
    ui::test::Wheel(grid.RightPane(), Point(50, 50), 240);
    EXPECT_EQ(grid.RightPane().GetScrollPosition().y, 1);
    EXPECT_EQ(grid.LeftPane().GetScrollPosition().y, 1);
}

TEST_F(CellCtrlTest, ArrowKeysMoveTheSelectionWithinThePane) {
    Make(0, 1, 3);
    grid.SelectCell(0, 1);
    ui::test::PressKey(grid, ui::VK_DOWN);
    ui::test::PressKey(grid, ui::VK_DOWN);
    ui::test::PressKey(grid, ui::VK_DOWN);
    ui::test::PressKey(grid, ui::VK_RIGHT);
    ui::test::PressKey(grid, ui::VK_RIGHT);
    int l, c, s;
    ASSERT_TRUE(grid.GetSelectedCell(&l, &c, &s));
    EXPECT_EQ(l, 2);
    EXPECT_EQ(c, 2);
    ui::test::PressKey(grid, ui::VK_UP);
    ui::test::PressKey(grid, ui::VK_LEFT);
    ui::test::PressKey(grid, ui::VK_LEFT);
    grid.GetSelectedCell(&l, &c, &s);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(c, 1);  // the right pane's first column: Left does not cross the separator
}

// Escape and Enter in a grid of a dialog: the grid takes them when it has something to do with
// them (an editor to close, an editor to open, a line to mark); otherwise they are the dialog's
// (Escape cancels it, Enter presses its default button).
TEST_F(CellCtrlTest, EscapeAndEnterAreTheDialogsWhenTheGridHasNothingToDoWithThem) {
    struct Case {
        const char* name;
        std::uint32_t style;
        bool typeFirst;  // an editor open before the key
        unsigned key;
        std::intptr_t dialogResult;  // 0: the dialog stays
        int stateAfter;              // the grid's editing state after the key
    } cases[] = {
        {"Escape, nothing open", CCellCtrl::kStyleNoEdit, false, ui::VK_ESCAPE, ui::IDCANCEL, 0},
        {"Escape, an editor open", 0, true, ui::VK_ESCAPE, 0, 0},
        {"Enter, no editing", CCellCtrl::kStyleNoEdit, false, ui::VK_RETURN, ui::IDOK, 0},
        {"Enter opens an editor", 0, false, ui::VK_RETURN, 0, 1},
        {"Enter, an editor open", 0, true, ui::VK_RETURN, 0, 0},
        {"Enter marks a line", CCellCtrl::kStyleNoEdit | CCellCtrl::kStyleMultiLine, false, ui::VK_RETURN, 0,
         0},
    };
    ui::DialogTemplate t;
    t.caption = "表";
    t.cx = 220;
    t.cy = 140;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::Dialog d(t);
        CCellCtrl g;
        bool ended = false;
        int state = -1;
        Script().OnDialog([&](ui::Dialog& shown) {
            g.SetStyle(c.style);
            g.SetColumn(0, 2, 60, "名前", 0);
            ASSERT_TRUE(g.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(10, 10, 210, 150), &shown, 2006));
            g.SetLineSize(3);
            for (int i = 0; i < 3; ++i)
                g.SetLineItem(i, 0, ("武将" + std::to_string(i)).c_str());
            MbWnd::CCellPane& pane = g.PaneOf(0);
            const Point p = pane.CellRect(1, 0).CenterPoint();
            ui::test::MouseDown(pane, p);
            ui::test::MouseUp(pane, p);
            if (c.typeFirst) ui::test::TypeText(shown, "X");
            ui::test::PressKey(shown, c.key);
            ended = shown.IsEnded();
            int l = -1, col = -1;
            g.GetSelectedCell(&l, &col, &state);
            if (!ended) shown.EndDialog(0);
        });
        EXPECT_EQ(d.DoModal(), c.dialogResult);
        EXPECT_EQ(ended, c.dialogResult != 0);
        EXPECT_EQ(state, c.stateAfter);
    }
}

TEST_F(CellCtrlTest, TabWalksToTheNextTabStopAndComesBackWhenThereIsNone) {
    Make(0, 0);
    grid.SelectCell(0, 0);
    ASSERT_EQ(ui::Wnd::GetFocus(), &grid.RightPane());
    ui::test::PressKey(grid, ui::VK_TAB);
    // No other tab stop: the walk ends on the grid, which hands the focus to its pane.
    EXPECT_EQ(ui::Wnd::GetFocus(), &grid.RightPane());

    ui::Button a, b;
    ASSERT_TRUE(
        a.Create("A", ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP, Rect(0, 175, 30, 195), &host, 1));
    ASSERT_TRUE(b.Create("B", ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::WS_DISABLED,
                         Rect(40, 175, 70, 195), &host, 2));
    grid.RightPane().SetFocus();
    ui::test::PressKey(grid, ui::VK_TAB);
    EXPECT_EQ(ui::Wnd::GetFocus(), &a);
    grid.RightPane().SetFocus();
    ui::test::PressKey(grid, ui::VK_TAB, Qt::ShiftModifier);
    EXPECT_EQ(ui::Wnd::GetFocus(), &a);  // backwards: B is disabled, wrap to A
}

TEST_F(CellCtrlTest, DraggingOverLinesTogglesTheirFlagsInStyle0x85) {
    Make(0x85, 1, 8);
    MbWnd::CCellPane& p = grid.RightPane();
    ui::test::MouseDown(p, CellPoint(1, 1));
    ui::test::MouseMove(p, CellPoint(2, 1), true);
    ui::test::MouseMove(p, CellPoint(4, 1), true);
    ui::test::MouseUp(p, CellPoint(4, 1));
    std::vector<bool> flags;
    for (int i = 0; i < 8; ++i)
        flags.push_back(grid.GetSelectStat(i));
    EXPECT_EQ(flags, (std::vector<bool>{false, true, true, true, true, false, false, false}));
    EXPECT_EQ(host.Codes().back(), MbWnd::kCellLineSelChange);
    // Style 4: Enter toggles the selected line without opening an editor.
    host.notes.clear();
    ui::test::PressKey(grid, ui::VK_RETURN);
    EXPECT_FALSE(grid.GetSelectStat(1));  // the clicked line holds the selection
    EXPECT_EQ(State(), 0);
    EXPECT_EQ(host.Codes(), std::vector<int>{MbWnd::kCellLineSelChange});
}

TEST_F(CellCtrlTest, ShiftClickSelectsTheRangeFromTheNearestSelectedLine) {
    Make(0x85, 0, 10);
    grid.MultiLineSelect(2, true);
    grid.MultiLineSelect(9, true);
    MbWnd::CCellPane& p = grid.RightPane();
    const Point pt = CellPoint(5, 0);
    // Shift travels as a key flag of the mouse message.
    ui::Msg m;
    m.message = ui::WM_LBUTTONDOWN;
    m.wnd = &p;
    m.flags = ui::MK_LBUTTON | ui::MK_SHIFT;
    m.pt = pt;
    ui::Wnd::DispatchInput(m);
    p.OnLButtonUp(0, pt);
    std::vector<bool> flags;
    for (int i = 0; i < 10; ++i)
        flags.push_back(grid.GetSelectStat(i));
    EXPECT_EQ(flags, (std::vector<bool>{false, false, true, true, true, true, false, false, false, true}));
}

TEST_F(CellCtrlTest, StyleBitsForNegativeLinesAndThePositionPastTheEnd) {
    struct Case {
        std::uint32_t style;
        int expectedAfterNegative;  // the line still selected after SelectCell(-1, 0)
        int expectedAfterDown;      // the line after Down from the last line
    } cases[] = {
        {0, -1, 2},
        {CCellCtrl::kStyleIgnoreNegative, 2, 2},
        {CCellCtrl::kStylePastEnd, -1, 3},
    };
    for (const Case& c : cases) {
        GridHost h;
        CCellCtrl g;
        ASSERT_TRUE(h.Open(260, 140));
        g.SetStyle(c.style);
        g.SetColumn(0, 2, 60, "名前", 0);
        ASSERT_TRUE(g.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 200, 100), &h, 2006));
        g.SetLineSize(3);
        g.SelectCell(2, 0);
        ui::test::PressKey(g, ui::VK_DOWN);
        int l, col, s;
        g.GetSelectedCell(&l, &col, &s);
        EXPECT_EQ(l, c.expectedAfterDown) << c.style;
        g.SelectCell(2, 0);
        g.SelectCell(-1, 0);
        g.GetSelectedCell(&l, &col, &s);
        EXPECT_EQ(l, c.expectedAfterNegative) << c.style;
    }
}

// ---- Odd input -------------------------------------------------------------------------------------------

TEST_F(CellCtrlTest, AnEmptyGridTakesEveryOperation) {
    Make(CCellCtrl::kStyleLineNumber, 1, 0);
    ClickCell(0, 1);
    ui::test::PressKey(grid, ui::VK_RETURN);
    ui::test::PressKey(grid, ui::VK_DOWN);
    ui::test::Wheel(grid.RightPane(), Point(20, 20), -120);
    grid.SortItems(CALLBACK_ByTens, 0);
    grid.DeleteLine(0);
    char buf[8];
    grid.GetCellText(3, 1, buf, sizeof buf);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(grid.GetLineData(5), 0);
    EXPECT_FALSE(grid.GetSelectStat(0));
    int l, c, s;
    EXPECT_FALSE(grid.GetSelectedCell(&l, &c, &s));
    EXPECT_EQ(s, -1);
    EXPECT_FALSE(ui::test::Grab(grid).isNull());
}

TEST_F(CellCtrlTest, ChoiceCellsOutsideTheirListShowNothingAndTextIsCutOnCharacters) {
    Make(0, 0, 2);
    grid.SetColumn(3, 3, 40, "種別", 0);
    grid.AddItemList(3, "足軽");
    grid.AddItemList(3, "騎馬");
    grid.SetLineSize(2);
    grid.SetLineItem(0, 3, 1.0);
    grid.SetLineItem(1, 3, 2.0);
    EXPECT_EQ(grid.GetCellText(0, 3), "騎馬");
    EXPECT_EQ(grid.GetCellText(1, 3), "");
    EXPECT_EQ(grid.GetCellText(0, 2), "0.00");
    char buf[6];
    grid.GetCellText(0, 0, buf, sizeof buf);  // "武将0": one character of 3 bytes fits in 5
    EXPECT_STREQ(buf, "武");
    std::string t;
    grid.GetItemList(3, 5, t);
    EXPECT_EQ(t, "");
    EXPECT_EQ(grid.GetColumnType(1), 0x2000);
}

TEST_F(CellCtrlTest, AColumnOfWidthZeroPaintsAndHitsNothingWrong) {
    ASSERT_TRUE(host.Open(240, 120));
    grid.SetColumn(0, 2, 0, "無", 0);
    grid.SetColumn(1, 2, 50, "有", 0);
    ASSERT_TRUE(grid.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 200, 100), &host, 2006));
    grid.SetLineSize(3);
    grid.SetLineItem(0, 1, "x");
    EXPECT_FALSE(ui::test::Grab(grid).isNull());
    ClickCell(0, 1);
    int l, c, s;
    ASSERT_TRUE(grid.GetSelectedCell(&l, &c, &s));
    EXPECT_EQ(c, 1);
}

TEST_F(CellCtrlTest, ThirtyThousandRowsScrollToTheEndAndPaintOnlyWhatIsSeen) {
    Make(0, 1, 30000);
    grid.SelectCell(29999, 1);
    const MbWnd::CCellPane& p = grid.RightPane();
    const int visible = p.GetClientRect().Height() / (p.LineHeight() + 1) + 2;
    EXPECT_GT(p.GetScrollPosition().y, 29990 - visible);
    EXPECT_EQ(grid.LeftPane().GetScrollPosition().y, p.GetScrollPosition().y);
    ui::test::Grab(grid);
    EXPECT_LE(p.LastPaintedLines(), visible);
    EXPECT_GT(p.LastPaintedLines(), 0);
}

TEST_F(CellCtrlTest, DestroyingTheGridWithAnOpenEditorLeavesNothingBehind) {
    auto g = std::make_unique<CCellCtrl>();
    ASSERT_TRUE(host.Open(300, 200));
    g->SetColumn(0, 2, 60, "名前", 0);
    ASSERT_TRUE(g->CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 200, 100), &host, 2006));
    g->SetLineSize(2);
    g->SelectCell(0, 0);
    ui::test::TypeText(*g, "abc");
    int l, c, s;
    g->GetSelectedCell(&l, &c, &s);
    ASSERT_EQ(s, 1);
    g.reset();
    ui::test::ProcessEvents();
    ui::test::PressKey(host, ui::VK_RETURN);
    EXPECT_TRUE(host.IsWindow());
}

// ---- Pixels at stated points ------------------------------------------------------------------------------

TEST_F(CellCtrlTest, PixelsOfLabelsLinesSelectionAndFrame) {
    Make(CCellCtrl::kStyleLineColor | CCellCtrl::kStyleLineNumber, 1, 5);
    grid.SetColumn(3, 6, 40, "印", 0);  // after creation: stored, not laid out
    grid.SelectCell(1, 1);
    const MbWnd::CCellPane& right = grid.RightPane();
    const MbWnd::CCellPane& left = grid.LeftPane();
    QImage img = ui::test::Grab(grid.RightPane());
    const int lh = right.LineHeight();  // 15
    const COLORREF face = ui::GetSysColor(ui::COLOR_BTNFACE);
    // Label row: white top line, face inside, black line at label height - 1, line colour under it.
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 85, 0)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 85, 5)), Rgb(face));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 85, lh - 1)), Rgb(RGB(0, 0, 0)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 85, lh)), Rgb(RGB(224, 224, 224)));
    // The right pane's first column starts at x = 1; its black label border at x = 0.
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 0, 5)), Rgb(RGB(0, 0, 0)));
    // Line 0 white, line 1 (selected, style 1) light blue; grid line under line 0 at y = 15 + 1 + 15.
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 85, lh + 1 + 7)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 85, lh + 1 + lh)), Rgb(RGB(224, 224, 224)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 85, lh + 1 + 16 + 7)), Rgb(RGB(200, 230, 255)));
    // The focus frame: blue around the selected cell grown by one pixel (the pane has the focus).
    const Rect cell = right.CellRect(1, 0);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, cell.left - 1, cell.top + 5)), Rgb(RGB(0, 0, 255)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, cell.left + 5, cell.bottom)), Rgb(RGB(0, 0, 255)));
    // The left pane: line-number cells in the face colour with a white left edge.
    QImage li = ui::test::Grab(grid.LeftPane());
    EXPECT_EQ(Rgb(ui::test::PixelAt(li, 20, lh + 1 + 2)), Rgb(face));
    EXPECT_EQ(Rgb(ui::test::PixelAt(li, 0, lh + 1 + 5)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(li, left.LineNumWidth() - 1, lh + 1 + 5)), Rgb(RGB(0, 0, 0)));
    // The separator: light outer edge, white inner edge, face in the middle, dark outer right edge.
    QImage si = ui::test::Grab(grid.Separator());
    EXPECT_EQ(Rgb(ui::test::PixelAt(si, 0, 30)), Rgb(ui::GetSysColor(ui::COLOR_3DLIGHT)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(si, 1, 30)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(si, 3, 30)), Rgb(face));
    EXPECT_EQ(Rgb(ui::test::PixelAt(si, 5, 30)), Rgb(ui::GetSysColor(ui::COLOR_BTNSHADOW)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(si, 6, 30)), Rgb(ui::GetSysColor(ui::COLOR_3DDKSHADOW)));
}

TEST_F(CellCtrlTest, TheFrameLeavesWithTheFocusUnlessStyle0x0400) {
    for (std::uint32_t style : {0u, 0x0400u}) {
        GridHost h2;
        CCellCtrl g2;
        ASSERT_TRUE(h2.Open(260, 140));
        g2.SetStyle(style);
        g2.SetColumn(0, 2, 60, "名前", 0);
        ASSERT_TRUE(g2.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 200, 100), &h2, 2006));
        g2.SetLineSize(3);
        g2.SelectCell(1, 0);
        ui::Button other;
        ASSERT_TRUE(other.Create("B", ui::WS_CHILD | ui::WS_VISIBLE, Rect(210, 0, 250, 20), &h2, 5));
        other.SetFocus();
        QImage img = ui::test::Grab(g2.RightPane());
        const Rect cell = g2.RightPane().CellRect(1, 0);
        const COLORREF px = ui::test::PixelAt(img, cell.left - 1, cell.top + 5);
        EXPECT_EQ(px == RGB(0, 0, 255), style == 0x0400u) << style;
    }
}

TEST_F(CellCtrlTest, MarkedCellsAndTheMarkedTextSquare) {
    Make(CCellCtrl::kStyleCellMark, 0, 4);
    grid.SetColumn(3, 6, 40, "印", 0);
    grid.RightPane().RecalcScrollSizes();
    grid.SetLineItem(0, 3, "甲");
    ClickCell(0, 1);
    ui::Msg m;
    m.message = ui::WM_LBUTTONDOWN;
    m.wnd = &grid.RightPane();
    m.flags = ui::MK_LBUTTON | ui::MK_SHIFT;
    m.pt = CellPoint(2, 1);
    ui::Wnd::DispatchInput(m);
    EXPECT_EQ(grid.GetMultiSelectedCellColumn(), 1);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(grid.GetMultiSelectedCellStat(i, 1), i <= 2) << i;
    grid.SetMultiSelectedCellItem(1, 7);
    int v = 0;
    grid.GetLineItem(1, 1, &v);
    EXPECT_EQ(v, 7);
    QImage img = ui::test::Grab(grid.RightPane());
    const Rect marked = grid.RightPane().CellRect(0, 1);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, marked.left + 3, marked.top + 2)), Rgb(RGB(216, 216, 255)));
    const Rect sq = grid.RightPane().CellRect(0, 3);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, sq.left + 7, sq.top + 7)), Rgb(RGB(0, 0, 0)));
}

}  // namespace
}  // namespace rymd::gui_test
