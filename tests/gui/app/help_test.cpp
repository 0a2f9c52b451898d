// Help: the help address mapped to the HTML pages beside the program, the desktop viewer, the
// message for a missing page, F1 in a dialog, and the pages the build puts beside the program.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "game/shell/app/help.h"
#include "gui/gui_test_util.h"

namespace rymd::gui_test {
namespace {

class HelpTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        shell::SetHelpViewer([this](const std::string& page) {
            opened_.push_back(page);
            return viewerWorks_;
        });
    }
    void TearDown() override {
        shell::SetHelpViewer(nullptr);
        shell::SetProgramHelpAddress("");
        GuiTest::TearDown();
    }
    std::vector<std::string> opened_;
    bool viewerWorks_ = true;
};

TEST_F(HelpTest, AnAddressNamesAPageOfTheBookFolder) {
    EXPECT_EQ(shell::HelpAddress("/opt/game/"), "/opt/game/rymd_mv.chm::/01top.html");
    EXPECT_EQ(shell::HelpPageOf("/opt/game/rymd_mv.chm::/01top.html"), "/opt/game/rymd_mv/01top.html");
    EXPECT_EQ(shell::HelpPageOf("/opt/game/RYMD_MV.CHM::/02phases.html"), "/opt/game/RYMD_MV/02phases.html");
    EXPECT_EQ(shell::HelpPageOf("/opt/game/rymd_mv/04map.html"), "/opt/game/rymd_mv/04map.html");
}

TEST_F(HelpTest, OpensAnExistingPageAndTellsOfAMissingOne) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("rymd_help_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "rymd_mv");
    std::ofstream(dir / "rymd_mv" / "01top.html") << "<html></html>";
    const std::string program = dir.string() + "/";
    shell::SetProgramHelpAddress(shell::HelpAddress(program));

    EXPECT_TRUE(shell::OnHelpRequest());
    EXPECT_EQ(opened_, std::vector<std::string>{program + "rymd_mv/01top.html"});

    // A viewer that will not open the page, and a missing page: the message, the game goes on.
    std::string told;
    auto expectMessage = [&] {
        Script().OnDialog([&](ui::Dialog& d) {
            told = dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText;
            d.EndDialog(ui::IDOK);
        });
    };
    viewerWorks_ = false;
    Script().OnDialog([&](ui::Dialog& d) {
        told = dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText;
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("help_no_viewer")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("help_no_viewer@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    EXPECT_FALSE(shell::ShowHelp(shell::ProgramHelpAddress()));
    // The page is there: the message names the missing program and where the page lies.
    EXPECT_EQ(told, std::string(shell::kHelpNoViewerMessage) + "\n" + shell::kHelpPageLabel + "\n" + program +
                        "rymd_mv/01top.html");
    EXPECT_EQ(told.find(shell::kHelpMissingMessage), std::string::npos) << told;
    EXPECT_NE(told.find("HTML"), std::string::npos) << told;
    viewerWorks_ = true;
    std::filesystem::remove(dir / "rymd_mv" / "01top.html");
    opened_.clear();
    expectMessage();
    EXPECT_TRUE(shell::OnHelpRequest());  // handled, with the message
    EXPECT_TRUE(opened_.empty());
    EXPECT_EQ(told, std::string(shell::kHelpMissingMessage) + "\n" + program + "rymd_mv/01top.html");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

// A dialog that answers F1 with the shared handler.
class HelpfulDlg : public ui::Dialog {
public:
    HelpfulDlg() : Dialog(Template()) {}
    static ui::DialogTemplate Template() {
        ui::DialogTemplate t;
        t.caption = "help";
        t.cx = 100;
        t.cy = 40;
        t.items = {
            {ui::IDOK, ui::ControlKind::Button, "OK", 25, 20, 50, 14, ui::WS_TABSTOP | ui::BS_PUSHBUTTON, 0}};
        return t;
    }
    bool OnHelpInfo() override { return shell::OnHelpRequest(); }
};

TEST_F(HelpTest, F1InADialogOpensTheTopPage) {
    shell::SetProgramHelpAddress(std::string(RYMD_SOURCE_DIR) + "/data/help/rymd_mv.chm::/01top.html");
    Script().OnDialog([&](ui::Dialog& d) {
        ui::test::PressKey(d, ui::VK_F1);
        EXPECT_FALSE(d.IsEnded());
        d.EndDialog(ui::IDOK);
    });
    HelpfulDlg dlg;
    dlg.DoModal();
    EXPECT_EQ(opened_,
              std::vector<std::string>{std::string(RYMD_SOURCE_DIR) + "/data/help/rymd_mv/01top.html"});
}

TEST_F(HelpTest, TheBookBesideTheProgramHasItsPagesAndEveryLinkLeadsToOne) {
    const std::filesystem::path book = std::filesystem::path(RYMD_BUILD_DIR) / "rymd_mv";
    ASSERT_TRUE(std::filesystem::is_regular_file(book / "01top.html"));
    const std::regex link("(href|src)=\"([^\"#:]+)\"");
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(book)) {
        if (entry.path().extension() != ".html") continue;
        ++pages;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string html = text.str();
        EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos) << entry.path();
        EXPECT_NE(html.find("lang=\"ja\""), std::string::npos) << entry.path();
        for (std::sregex_iterator m(html.begin(), html.end(), link), end; m != end; ++m)
            EXPECT_TRUE(std::filesystem::is_regular_file(book / (*m)[2].str()))
                << entry.path() << " -> " << (*m)[2];
    }
    EXPECT_GE(pages, 5);
}

}  // namespace
}  // namespace rymd::gui_test
