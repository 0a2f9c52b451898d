// Two edit boxes of the control library. CEditWithSpin is the platform's edit box under a name
// of its own; CExEditBox is an edit box that paints nothing in its client area (its text can
// still be set and read, and its frame is drawn as usual).
#pragma once

#include "platform/qt/controls.h"

namespace MbWnd {

class CEditWithSpin : public rymd::ui::Edit {};

class CExEditBox : public rymd::ui::Edit {
protected:
    void OnHostCreated() override;
};

}  // namespace MbWnd
