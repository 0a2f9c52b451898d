// Help: the program's help address and the pages it names.
//
// The help address is "<program folder>rymd_mv.chm::/01top.html", a page inside a help book. The
// book here is a folder of HTML pages beside the program: "<book>.chm::/<page>" is the page
// "<book>/<page>" (the address without "::" is a page itself). Pages open in the desktop's
// viewer for HTML (the web browser). Every help button, menu item and F1 of the program opens
// the top page; a page that is missing, or a desktop without a program that shows it, gives a
// message that says which it is and where the page lies, and the game goes on.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rymd::ui {
class Wnd;
}

namespace rymd::shell {

// The message shown when the help page is missing (the page's path follows on its own line).
inline constexpr const char* kHelpMissingMessage = "ヘルプファイルが見つかりません";
// The message shown when the page is there but no program would show it (the page's path
// follows after kHelpPageLabel, on a line of its own).
inline constexpr const char* kHelpNoViewerMessage =
    "HTMLのページを表示するプログラムが見つかりません\n"
    "（xdg-open とウェブブラウザを入れると、ヘルプを表示できます）";
inline constexpr const char* kHelpPageLabel = "ヘルプのページ：";

// "<programFolder>rymd_mv.chm::/01top.html".
std::string HelpAddress(const std::string& programFolder);
// The HTML file an address names.
std::string HelpPageOf(std::string_view address);

// How pages are shown: the default hands the file's URL to the desktop (QDesktopServices);
// tests put a recorder here. Returns whether the viewer took the page. An empty function goes
// back to the default.
using HelpViewer = std::function<bool(const std::string& page)>;
void SetHelpViewer(HelpViewer viewer);

// The program's help address, set at start-up (empty: none yet).
void SetProgramHelpAddress(std::string address);
const std::string& ProgramHelpAddress();

// Opens the page of the address; when it is missing, shows kHelpMissingMessage with the page's
// path, when the viewer refuses it kHelpNoViewerMessage with the path; then returns false.
bool ShowHelp(std::string_view address);
// The dialogs' shared help handler (F1, help buttons and the help menu): opens the top page of
// the program's help. Always handled.
bool OnHelpRequest();

}  // namespace rymd::shell
