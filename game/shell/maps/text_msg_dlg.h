// CTextMsgDlg: a plain dialog that shows a long text in a read-only box the player can scroll
// and copy from (the castle view's diagnostics when a picture cannot be imposed).
#pragma once

#include <string>

#include "platform/qt/dialog.h"

namespace rymd::shell {

class CTextMsgDlg : public ui::Dialog {
public:
    static constexpr int kTextId = 1137;

    explicit CTextMsgDlg(ui::Wnd* parent = nullptr);
    static const ui::DialogTemplate& TextTemplate();

    std::string m_strText;  // exchanged with the text box

    void DoDataExchange(ui::DataExchange& dx) override;
};

}  // namespace rymd::shell
