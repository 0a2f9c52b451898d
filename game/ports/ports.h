// Ports: the only way the rules reach the player. The rules never show a window themselves;
// they call these plain interfaces, and the front (the Qt program, the command-line tool or a
// test) decides how a message, question or report is presented.
//
//   Inform  - a message box with one OK button.
//   Ask     - Yes/No, OK/Cancel, a choice among buttons, a number, a file to open.
//   Report  - the modal report dialogs (long texts, income, deaths and appearances, ...).
//   Play    - the dialogs in which the player acts inside a rule (battles, recruitment, ...).
//   View    - notifications with no answer (caption, command menu, house list, log, timer, music).
//
// Every call is synchronous: it returns when the player is done. Whether a message is shown at
// all while the game advances by itself is decided in the rules by SuppressionPolicy
// (suppression_policy.h), never by a port.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rymd {

struct GameState;

// ---------------------------------------------------------------------------------------------
// Inform: a message box with one OK button.
class InformPort {
public:
    virtual ~InformPort() = default;
    virtual void Inform(std::string_view text) = 0;
};

struct HarvestView;

// ---------------------------------------------------------------------------------------------
// Ask: questions with an answer. The dialogs are not cancellable unless the answer type says so.
struct HitojichiOffer;
struct RecruitOffer;

class AskPort {
public:
    virtual ~AskPort() = default;
    // Yes/No box; defaultYes puts the focus on Yes. Returns true for Yes.
    virtual bool AskYesNo(std::string_view text, bool defaultYes) = 0;
    // OK/Cancel box. Returns true for OK.
    virtual bool AskOkCancel(std::string_view text) = 0;
    // A prompt with one button per choice; defaultChoice has the focus and is the answer when
    // nobody can answer. Returns the index of the chosen button (0-based).
    virtual int AskChoice(std::string_view prompt, std::span<const std::string> choices,
                          int defaultChoice) = 0;
    // A prompt with a number field and OK. Returns the number typed.
    virtual double AskNumber(std::string_view prompt) = 0;
    // A file-open dialog. filter is in the "Description (*.ext)|*.ext||" form.
    // Returns the chosen path, or nothing when the player cancels.
    virtual std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                                   std::string_view initialFolder) = 0;
    // The input dialog of a scripted event in its choice mode: a prompt above one button per
    // choice (at most kMaxEventChoices, at least one), no cancel. Returns the chosen index. A
    // front without its own dialog asks AskChoice with the first choice as its default.
    virtual int AskEventChoice(std::string_view prompt, std::span<const std::string> choices);
    // The same dialog in its number mode: a prompt, a number field and OK; only a whole number
    // (ParseEventNumber) is taken. A front without its own dialog asks AskNumber.
    virtual double AskEventNumber(std::string_view prompt);

    // The envoy of a computer house before the player (EnvoyVisit below): accept or refuse, and
    // in the modes of applications whether to demand a hostage. A front without its own dialog
    // asks AskYesNo (question and information line) in modes 0 to 2, and AskChoice among
    // EnvoyApplicationChoices() with the first as default in modes 3 to 5.
    struct EnvoyVisit;
    struct EnvoyReply;
    virtual EnvoyReply AskEnvoyVisit(const EnvoyVisit& visit);

    // ---- The personnel questions that have dialogs of their own --------------------------------
    // A front without these dialogs asks them through the plain boxes above, as it always did.
    // Another house demands a hostage: the position of the heir given in offer.heirs, or -1 when
    // the player refuses. The default asks AskChoice with the heirs' names and a last choice
    // that refuses.
    virtual int AskHitojichiOffer(const HitojichiOffer& offer);
    // A masterless general turns to the player's house: true to take him as retainer. The
    // default asks AskYesNo with the offer's text, Yes first.
    virtual bool AskRecruit(const RecruitOffer& offer);

    // ---- The September harvest (harvest dialog) -------------------------------------------
    // The harvest of each province and the tax rate for this year's rice: returns the chosen
    // index of view.choices. A front without the dialog asks AskChoice with HarvestPrompt and
    // the preset index as its default.
    virtual int AskHarvestTax(const HarvestView& view);
};

// What the envoy-visit question shows.
struct AskPort::EnvoyVisit {
    const GameState* game = nullptr;  // the game, for the counterpart's information
    std::string caption;              // e.g. "従属要求使者来訪"
    int mode = 0;                     // 0 peace, 1 demand of subordination, 2 of vassalage, 3 application for
                                      // subordination, 4 for vassalage, 5 a subordinate's change of master
    int counterpart = -1;             // the house that sent the envoy
    std::string question;  // e.g. "%sから従属要求の使者が来ました。従属しますか？"
    std::string info;      // the counterpart's rice yield and castles
};

struct AskPort::EnvoyReply {
    bool accept = false;
    bool demandHostage = false;  // only in modes 3 to 5
};

// The answers a front without an envoy dialog offers in the modes of applications, in order:
// accept, accept and demand a hostage, refuse.
std::vector<std::string> EnvoyApplicationChoices();

// A general's row in the personnel questions: name, age ("%d%s" with "?" for a guessed year,
// "---" when hidden), valour, politics and intellect.
struct PersonnelRow {
    std::string name;
    std::string age;
    int buyuu = 0;
    int seiji = 0;
    int chibou = 0;
};

// The hostage demand as the player sees it: "%s は人質の差し出しを要求してきました", the title of
// the heir list in the scenario's words, and the heirs (the house's generic heir alone when it
// has none of age 1 to 18).
struct HitojichiOffer {
    std::string demand;
    std::string listTitle;
    std::vector<PersonnelRow> heirs;
};

// "%sが当家を頼ってきました。家臣に登用しますか？" and the general's row.
struct RecruitOffer {
    std::string text;
    PersonnelRow candidate;
};

// The refusal button of the hostage demand.
inline constexpr const char* kHitojichiRefuse = "人質の差し出しを拒否";

// The most choice buttons of a scripted event's input dialog; further choices are not offered.
inline constexpr int kMaxEventChoices = 10;

// ---------------------------------------------------------------------------------------------
// Report: modal dialogs that only show something; closing them is the only answer.

// The report dialogs of the game. A front may draw a kind with its own layout; every kind can
// also be shown as a plain list of lines.
enum class ReportKind {
    Generic,
    MusketDelivery,           // muskets bought or produced arriving this month
    DeathsAndAppearances,     // generals who died and generals who appeared
    Income,                   // a house's monthly settlement
    TradeShipReturn,          // trade ships back from their voyages
    ScheduledEvent,           // a scheduled event striking provinces
    ConditionalEventMessage,  // the message of a conditional event
    ScenarioInformation,      // title and counts of the scenario
    GunsenComplete,           // warships launched this month
    BattleResults,            // the month's battles: exactly two lines, the battle text and the
                              // fates text (each may hold several lines ending in a line break)
};

const char* ReportKindName(ReportKind kind);

// A colour as the Windows-era 0x00BBGGRR value.
using Colour = std::uint32_t;

// A scheduled event that struck this month: what its dialog shows.
struct ScheduledEventReport {
    int event = -1;                          // index in the event table
    std::string name;                        // the dialog's caption
    std::string message;                     // the event's text, unchanged
    Colour colour = 0;                       // the colour of the struck provinces
    std::vector<int> provinces;              // struck provinces, in province order
    std::vector<std::string> provinceNames;  // their names, in the same order
    std::vector<std::string> effects;        // one line per effect, e.g. "石高 -20%（±10%）"
};

// ---------------------------------------------------------------------------------------------
// The month's reports as their dialogs show them. The rules fill them with the texts already in
// the scenario's vocabulary.

// The September harvest: each province's harvest and the tax-rate choices.
struct HarvestView {
    std::vector<int> qualities;  // by province: 1 good (豊作), 0 normal (通常), -1 bad (不作)
    std::vector<std::string> provinceNames;  // the same provinces' names
    std::vector<std::string> choices;        // the tax rates, "70%" .. "30%"
    int preset = 0;                          // the choice that starts selected (the standard rate)
};
// The prompt of the plain harvest question: the season, the provinces of good and of bad harvest
// ("なし" for none) and "税率設定".
std::string HarvestPrompt(const HarvestView& view);

// One row of the income report: its label and its figure as the report writes it.
struct IncomeReportRow {
    std::string label;
    std::string value;
};
// One corps of the house in the income report.
struct IncomeCorpsRow {
    std::string name;  // "<leader> 軍団"
    std::int32_t income = 0;
    std::int32_t upkeep = 0;
    std::int32_t funds = 0;  // after the settlement
};
// The monthly income report of the player's house.
struct IncomeReportView {
    std::string title;                        // "%4d年 %2d月  %s 収支報告"
    std::vector<IncomeReportRow> incomeRows;  // harvest .. "収入合計"
    std::vector<IncomeReportRow> upkeepRows;  // the seven costs .. "支出合計"
    std::string fundsLine;                    // "資金残高　a + b - c → d" (and the borrowed note)
    std::string besiegedNote;                 // empty unless troops in besieged castles went unpaid
    std::vector<IncomeCorpsRow> corps;        // in corps slot order
    std::int64_t fundsBefore = 0;             // the figures of the funds line
    std::int32_t income = 0;
    std::int32_t upkeep = 0;
    std::int32_t fundsAfter = 0;
};
// The report as plain lines: "label\tvalue" rows, the funds line, the note, then the corps
// under the heading "軍団名\t収入\t支出\t資金残高".
std::vector<std::string> IncomeReportLines(const IncomeReportView& view);

// The month's deaths and appearances of generals.
struct DeathAppearView {
    std::string caption;                // "武将死去／登場"
    std::string appearedTitle;          // "武将登場"
    std::string diedTitle;              // "武将死去"
    std::vector<std::string> appeared;  // one line each; "なし" alone when nobody
    std::vector<std::string> died;
};
// The report as plain lines: the appearance title and lines, then the death title and lines.
std::vector<std::string> DeathAppearLines(const DeathAppearView& view);

// The scenario's script variables as the variable list shows them: scalars and arrays in the
// order they were made.
struct VariableListView {
    std::vector<std::pair<std::string, double>> scalars;
    std::vector<std::pair<std::string, std::vector<double>>> arrays;
};

class ReportPort {
public:
    virtual ~ReportPort() = default;
    // A long text with a title, an optional picture (the encoded bytes of a BMP, JPEG or PNG
    // image; empty for none) and the text colour.
    virtual void ShowLongText(std::string_view title, std::string_view body,
                              std::span<const std::uint8_t> picture, Colour colour) = 0;
    // A report given as lines of text. Fronts that know the kind may lay it out better.
    virtual void ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) = 0;
    // A scheduled event with the provinces it struck. A front without its own dialog shows it as
    // the report ScheduledEvent titled with the event's name: the text, the line
    // "被害地域: A、B", then the effect lines.
    virtual void ShowScheduledEvent(const ScheduledEventReport& report);
    // The message of a conditional event: its title above the text (placeholders already
    // filled), closed with "閉じる"; the script variables for its variable-list button. A front
    // without its own dialog shows the report ConditionalEventMessage titled with the event's
    // title, the text as its one line.
    virtual void ShowEventMessage(std::string_view title, std::string_view text,
                                  const VariableListView& variables);

    // ---- The month's reports drawn as their own dialogs ------------------------------------
    // A front without the dialogs shows them as the reports Income and DeathsAndAppearances,
    // the lines of IncomeReportLines and DeathAppearLines.
    virtual void ShowIncomeReport(const IncomeReportView& view);
    virtual void ShowDeathsAndAppearances(const DeathAppearView& view);
};

// The lines of a scheduled event as a plain report shows them.
std::vector<std::string> ScheduledEventLines(const ScheduledEventReport& report);

// ---------------------------------------------------------------------------------------------
// Play: the dialogs in which the player acts inside a rule. Each takes the rule's model and
// returns when the player is done. The dialogs are added with the rules that use them.
//
// The battles: a battle in which the player's own troops fight is offered to the front, which
// either plays it in person through its dialog (the session then holds the result) and returns
// true, or returns false and the battle is fought automatically. The Qt front plays field and
// naval battles in their dialogs; the headless and scripted fronts fight every battle
// automatically.
struct YasenSession;
struct KaisenSession;
class KoufukuBushouSession;
class KoujousenSession;

class PlayPort {
public:
    virtual ~PlayPort() = default;
    virtual bool PlayYasen(YasenSession& session) { return false; }
    virtual bool PlayKaisen(KaisenSession& session) { return false; }
    // The generals who surrendered to the player's house: the front decides about each of them
    // through the session and returns true, or returns false and they stay captives. The Qt
    // front opens the surrendered-generals dialog; the headless and scripted fronts answer false.
    virtual bool PlayKoufukuBushou(KoufukuBushouSession& session) { return false; }
    // A siege of the month in which the player's house takes part: the front plays the month's
    // turns through the session (Open, then its buttons) and returns true, the results then in
    // the session; or returns false and the siege is fought automatically.
    virtual bool PlayKoujousen(KoujousenSession& session) { return false; }
};

// The log pane the steps write to (war report, diplomacy news).
inline constexpr int kMainLog = 0;

// ---------------------------------------------------------------------------------------------
// View: notifications with no answer. Every operation does nothing unless a front needs it.
class ViewPort {
public:
    virtual ~ViewPort() = default;
    // The main window's caption line, e.g. the phase name.
    virtual void SetCaption(std::string_view text) {}
    // Rebuild the command menu for a phase.
    virtual void BuildCommandMenu(int phase) {}
    // Refill the list of houses.
    virtual void RefillHouseList() {}
    // Replace the text of one of the log panes (war report, diplomacy news, ...).
    virtual void SetLogText(int log, std::string_view text) {}
    // Add one line at the end of a log pane (a note of the rules, such as a step they left out).
    virtual void AppendLogLine(int log, std::string_view line) {}
    // Arm the window's one-shot timer.
    virtual void StartTimer(int milliseconds) {}
    // Background music: play a track (by its number) or stop.
    virtual void PlayMusic(int track) {}
    virtual void StopMusic() {}
    // Enable or disable the phase-end button (it stays disabled for view-only data).
    virtual void EnableCommandEndButton(bool on) {}
    // Show the castle view of a province, or the whole-country map for -1.
    virtual void SwitchMapView(int kuni) {}
    // Give the keyboard focus to the command panel.
    virtual void FocusCommandPanel() {}
    // Show the variable list (look only) until the player closes it.
    virtual void ShowVariableList(const VariableListView& variables) {}
    // The scenario title changed: redraw the status bar that shows it.
    virtual void ShowScenarioTitle(std::string_view title) {}
    // A scripted event asks for the view-only save of the main window (with that command's own
    // questions and refusals); a front without a main window cannot save and ignores it.
    virtual void SaveViewOnly() {}
};

// ---------------------------------------------------------------------------------------------
// The five ports bundled; the rules pass this by value or const reference. The members are never
// null: a default Ports shows nothing and answers every question with its safe default
// (see SilentPort).
struct Ports {
    Ports();
    InformPort* inform;
    AskPort* ask;
    ReportPort* report;
    PlayPort* play;
    ViewPort* view;
};

// The five ports of one object that implements them all.
template <class AllPorts>
Ports PortsOf(AllPorts& all) {
    Ports p;
    p.inform = &all;
    p.ask = &all;
    p.report = &all;
    p.play = &all;
    p.view = &all;
    return p;
}

// The safe answers, used when nobody can answer: an all-automatic run, the headless tool, a test
// whose script ran out. Yes, OK, the first choice, the number 0, no file.
inline constexpr bool kSafeYesNo = true;
inline constexpr bool kSafeOkCancel = true;
inline constexpr int kSafeChoice = 0;
inline constexpr double kSafeNumber = 0.0;

// Shows nothing and answers with the safe defaults. One shared instance backs a default Ports.
class SilentPort final : public InformPort,
                         public AskPort,
                         public ReportPort,
                         public PlayPort,
                         public ViewPort {
public:
    static SilentPort& Instance();

    void Inform(std::string_view) override {}
    bool AskYesNo(std::string_view, bool) override { return kSafeYesNo; }
    bool AskOkCancel(std::string_view) override { return kSafeOkCancel; }
    int AskChoice(std::string_view, std::span<const std::string>, int defaultChoice) override {
        return defaultChoice;
    }
    double AskNumber(std::string_view) override { return kSafeNumber; }
    std::optional<std::string> AskOpenFile(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    void ShowLongText(std::string_view, std::string_view, std::span<const std::uint8_t>, Colour) override {}
    void ShowReport(ReportKind, std::string_view, std::span<const std::string>) override {}

    Ports AsPorts();
};

}  // namespace rymd
