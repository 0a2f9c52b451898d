#include "game/shell/app/help.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>

#include "mbwnd/msg_box.h"

namespace rymd::shell {

namespace {

bool OpenInDesktop(const std::string& page) {
    return QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size()))));
}

HelpViewer& Viewer() {
    static HelpViewer viewer = OpenInDesktop;
    return viewer;
}

std::string& Address() {
    static std::string address;
    return address;
}

}  // namespace

std::string HelpAddress(const std::string& programFolder) {
    return programFolder + "rymd_mv.chm::/01top.html";
}

std::string HelpPageOf(std::string_view address) {
    const std::size_t sep = address.find("::");
    if (sep == std::string_view::npos) return std::string(address);
    std::string_view book = address.substr(0, sep);
    std::string_view page = address.substr(sep + 2);
    if (book.size() >= 4) {
        std::string ext(book.substr(book.size() - 4));
        for (char& c : ext)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (ext == ".chm") book.remove_suffix(4);
    }
    while (!page.empty() && (page.front() == '/' || page.front() == '\\'))
        page.remove_prefix(1);
    return std::string(book) + "/" + std::string(page);
}

void SetHelpViewer(HelpViewer viewer) {
    Viewer() = viewer ? std::move(viewer) : HelpViewer(OpenInDesktop);
}

void SetProgramHelpAddress(std::string address) {
    Address() = std::move(address);
}

const std::string& ProgramHelpAddress() {
    return Address();
}

bool ShowHelp(std::string_view address) {
    const std::string page = HelpPageOf(address);
    std::string text;
    if (!QFileInfo(QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size()))).isFile())
        text = std::string(kHelpMissingMessage) + "\n" + page;
    else if (!Viewer()(page))
        text = std::string(kHelpNoViewerMessage) + "\n" + kHelpPageLabel + "\n" + page;
    else
        return true;
    MbMsgBox(text.c_str());
    return false;
}

bool OnHelpRequest() {
    ShowHelp(ProgramHelpAddress());
    return true;
}

}  // namespace rymd::shell
