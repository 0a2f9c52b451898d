#include "game/ports/suppression_policy.h"

#include <vector>

#include <gtest/gtest.h>

#include "game/ports/scripted_port.h"

namespace rymd {
namespace {

struct Row {
    MessageKind kind;
    bool autoShows;      // automatic advance, skip option off
    bool autoSkipShows;  // automatic advance, skip option on
};

const Row kTable[] = {
    {MessageKind::IndependenceMessage, false, false},
    {MessageKind::DeathsAndAppearancesReport, false, false},
    {MessageKind::HarvestDialog, false, false},
    {MessageKind::ScheduledEventDialog, false, false},
    {MessageKind::HeadSuccessionMessage, false, false},
    {MessageKind::PersonnelPlannerMessage, false, false},
    {MessageKind::IncomeReport, false, false},
    {MessageKind::TradeShipReturnReport, false, false},
    {MessageKind::DesertionMessage, false, false},
    {MessageKind::MiningByCaptureMessage, false, false},
    {MessageKind::CoalitionMessage, false, false},
    {MessageKind::WarPhaseCaptiveMessage, false, false},
    {MessageKind::BattleResultsReport, false, false},
    {MessageKind::VassalAbsorbedMessage, false, false},
    {MessageKind::DiplomacyMessage, false, false},
    {MessageKind::ViewOnlySave, false, false},
    {MessageKind::MusketDeliveryReport, true, true},
    {MessageKind::CorpsSuccessionMessage, true, true},
    {MessageKind::RecruitmentQuestion, true, true},
    {MessageKind::EnvoyQuestion, true, true},
    {MessageKind::ConditionalEventMessage, true, false},
    {MessageKind::ScriptedEventQuestion, true, true},
    {MessageKind::ScriptedEventInput, true, true},
    {MessageKind::GuestGeneralMessage, true, true},
};

TEST(SuppressionPolicy, TableOfWhatIsShown) {
    ASSERT_EQ(std::size(kTable), static_cast<std::size_t>(kMessageKindCount));
    for (const Row& r : kTable) {
        const char* name = MessageKindName(r.kind);
        // Playing normally: everything is shown, with or without the skip option.
        EXPECT_TRUE(SuppressionPolicy(false, false, false).Shows(r.kind)) << name;
        EXPECT_TRUE(SuppressionPolicy(false, false, true).Shows(r.kind)) << name;
        EXPECT_EQ(SuppressionPolicy(true, false, false).Shows(r.kind), r.autoShows) << name;
        EXPECT_EQ(SuppressionPolicy(true, false, true).Shows(r.kind), r.autoSkipShows) << name;
        EXPECT_EQ(SuppressionPolicy::SuppressedDuringAutoAdvance(r.kind), !r.autoShows) << name;
        // The all-automatic run waits for nothing, whatever the other switches say.
        for (bool a : {false, true}) {
            for (bool s : {false, true}) {
                EXPECT_FALSE(SuppressionPolicy(a, true, s).Shows(r.kind)) << name;
            }
        }
    }
}

TEST(SuppressionPolicy, AllAutomaticImpliesAutoAdvanceAndSkip) {
    SuppressionPolicy p;
    EXPECT_FALSE(p.AutoAdvance());
    p.SetAllAutomatic(true);
    EXPECT_TRUE(p.AutoAdvance());
    EXPECT_TRUE(p.SkipConditionalEventDisplay());
    EXPECT_TRUE(p.AllAutomatic());
    p.SetAllAutomatic(false);
    p.SetAutoAdvance(true);
    EXPECT_TRUE(p.Shows(MessageKind::ConditionalEventMessage));
    p.SetSkipConditionalEventDisplay(true);
    EXPECT_FALSE(p.Shows(MessageKind::ConditionalEventMessage));
}

TEST(SuppressionPolicy, HelpersAskThePortOnlyWhenShown) {
    ScriptedPort port;
    port.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
    const Ports ports = port.AsPorts();
    const std::vector<std::string> choices = {"一", "二", "三"};
    const std::vector<std::string> lines = {"x"};

    // Automatic advance: the income report and head message are dropped, the recruitment
    // question and the musket report go through.
    const SuppressionPolicy autoAdvance(true, false, false);
    EXPECT_FALSE(autoAdvance.Inform(ports, MessageKind::HeadSuccessionMessage, "当主"));
    EXPECT_FALSE(autoAdvance.ShowReport(ports, MessageKind::IncomeReport, ReportKind::Income, "収支", lines));
    EXPECT_TRUE(autoAdvance.ShowReport(ports, MessageKind::MusketDeliveryReport, ReportKind::MusketDelivery,
                                       "鉄砲入手", lines));
    port.PushNo();
    EXPECT_FALSE(autoAdvance.AskYesNo(ports, MessageKind::RecruitmentQuestion, "登用しますか？", true));
    port.PushChoice(2);
    EXPECT_EQ(autoAdvance.AskChoice(ports, MessageKind::ScriptedEventInput, "選べ", choices), 2);
    port.PushNumber(-4.5);
    EXPECT_EQ(autoAdvance.AskNumber(ports, MessageKind::ScriptedEventInput, "数"), -4.5);

    ASSERT_EQ(port.Calls().size(), 4u);
    EXPECT_EQ(port.Calls()[0].text, "鉄砲入手");
    EXPECT_EQ(port.Calls()[1].text, "登用しますか？");

    // All-automatic: nothing reaches the port; questions get Yes, the first choice, 0.
    port.ClearCalls();
    const SuppressionPolicy allAuto(true, true, true);
    EXPECT_FALSE(allAuto.Inform(ports, MessageKind::CorpsSuccessionMessage, "軍団"));
    EXPECT_FALSE(
        allAuto.ShowReport(ports, MessageKind::MusketDeliveryReport, ReportKind::MusketDelivery, "t", lines));
    EXPECT_TRUE(allAuto.AskYesNo(ports, MessageKind::ScriptedEventQuestion, "q", false));
    EXPECT_EQ(allAuto.AskChoice(ports, MessageKind::ScriptedEventInput, "c", choices), 0);
    EXPECT_EQ(allAuto.AskNumber(ports, MessageKind::ScriptedEventInput, "n"), 0.0);
    EXPECT_TRUE(port.Calls().empty());
    EXPECT_EQ(port.PendingAnswers(), 0u);
}

}  // namespace
}  // namespace rymd
