// Dialogs built from templates in dialog units.
//
// A template gives the caption, the window style, the font, the size and every control (id,
// kind, text, rectangle, style) in dialog units. The units are converted with the template
// font's metrics: a horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its line height (each value rounded on its own).
//
// DoModal creates the dialog as a top-level window owned by its parent or, without one, by the
// innermost modal dialog that runs (the main window when none does), so that a message box stands
// over the dialog it is opened from. An owner that is not shown (a dialog that opens another
// while it sets itself up) passes the dialog on to its own owner, up to one that is shown. DoModal
// calls OnInitDialog, centres the dialog over its owner unless OnInitDialog moved it, shows it
// (a dialog that OnInitDialog showed stays where it stands) and runs a nested event loop until
// EndDialog; then the window that had the focus before it opened has it again. Dialogs nest: a
// handler inside one dialog may run another. Create makes a modeless dialog instead (a child
// window when the template style has WS_CHILD).
//
// Keys: Enter sends the command of the default button (IDOK unless SetDefID changed it), or
// clicks the focused standard push button; Escape sends IDCANCEL; Tab and Shift+Tab move the
// focus among the enabled, visible controls with WS_TABSTOP; F1 calls OnHelpInfo. The commands IDOK and
// IDCANCEL call OnOK and OnCancel; closing the window from its frame sends IDCANCEL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/qt/font.h"
#include "platform/qt/wnd.h"

namespace rymd::ui {

enum class ControlKind {
    Button,    // BS_* in the style
    Static,    // SS_* in the style
    Edit,      // ES_* in the style
    ComboBox,  // a drop-down list (CBS_DROPDOWNLIST); cy is the height of the dropped list
    ListView,  // a report list view (LVS_* in the style)
    Spin,      // an up-down button (UDS_* in the style)
    Custom,    // an empty child window, for the dialog's own code to take over or place a window at
};

struct DialogItem {
    int id = 0;
    ControlKind kind = ControlKind::Custom;
    std::string text;
    int x = 0;  // dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
    std::uint32_t style = WS_CHILD | WS_VISIBLE;  // WS_CHILD | WS_VISIBLE are always added
    std::uint32_t exStyle = 0;
};

struct DialogTemplate {
    std::string caption;
    std::uint32_t style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    std::uint32_t exStyle = 0;
    int x = 0;  // dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
    std::string fontFace = "ＭＳ Ｐゴシック";
    int pointSize = 9;
    int weight = FW_NORMAL;
    bool italic = false;
    std::vector<DialogItem> items;
};

// Dialog units of a font: the average character width and the line height in pixels.
struct DialogBaseUnits {
    int cx = 0;
    int cy = 0;
};
DialogBaseUnits BaseUnitsOf(const Font& font);
// Dialog units to pixels: x and width by cx / 4, y and height by cy / 8, each rounded.
Rect MapDialogRect(const DialogBaseUnits& units, const Rect& dlu);
// The rectangle (dialog units) of the template's item with the id; empty when there is none.
Rect DialogItemRect(const DialogTemplate& t, int id);

class Dialog;

// Control exchange: binds controls and moves values between controls and members.
struct DataExchange {
    Dialog* dialog = nullptr;
    bool saveAndValidate = false;
    bool fail = false;
};
// Makes the object handle the template's control with the given id (once).
void DDX_Control(DataExchange& dx, int id, Wnd& control);
void DDX_Text(DataExchange& dx, int id, std::string& value);
void DDX_Text(DataExchange& dx, int id, int& value);
void DDX_Check(DataExchange& dx, int id, int& value);

class Dialog : public Wnd {
public:
    explicit Dialog(DialogTemplate tmpl, Wnd* parent = nullptr);
    ~Dialog() override;

    // Runs the dialog modally; returns the value given to EndDialog, or -1 when the dialog could
    // not be created.
    virtual std::intptr_t DoModal();
    // Creates the dialog modeless.
    bool CreateModeless(Wnd* parent = nullptr);
    // Ends a modal dialog with a result (a modeless one is hidden).
    void EndDialog(std::intptr_t result);
    bool IsModalRunning() const { return running_; }
    bool IsEnded() const { return ended_; }
    std::intptr_t GetResult() const { return result_; }

    // Runs DoDataExchange: from the members to the controls (save false) or back (true, which
    // may fail).
    bool UpdateData(bool saveAndValidate = true);
    void SetDefID(int id) { defId_ = id; }
    int GetDefID() const { return defId_; }
    // Moves the focus to the next (or previous) tab-stop control.
    void NextDlgCtrl(bool previous = false);

    const DialogTemplate& Template() const { return tmpl_; }
    Font& DialogFont() { return font_; }
    const DialogBaseUnits& BaseUnits() const { return units_; }
    Rect MapDialogRect(const Rect& dlu) const { return ui::MapDialogRect(units_, dlu); }

    // ---- Overridables ---------------------------------------------------------------------------
    // The base binds the controls (DoDataExchange) and returns true: the focus then goes to
    // the first tab-stop control.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx) {}
    // The base reads the controls back (UpdateData) and ends the dialog with IDOK.
    virtual void OnOK();
    // The base ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // F1 (the help key) pressed in the dialog: true when handled. The base does nothing.
    virtual bool OnHelpInfo() { return false; }

    bool OnCommand(int id, int code, Wnd* from) override;
    bool PreTranslateMessage(Msg& msg) override;
    void OnClose() override;

private:
    bool Build(Wnd* parent, bool modal);
    void CreateControls();
    Wnd* FirstTabStop();

    DialogTemplate tmpl_;
    Wnd* parent_;
    Font font_;
    DialogBaseUnits units_;
    int defId_ = IDOK;
    bool running_ = false;
    bool ended_ = false;
    std::intptr_t result_ = -1;
    void* loop_ = nullptr;  // the running QEventLoop
};

}  // namespace rymd::ui
