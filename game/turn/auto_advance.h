// The automatic advance: the game runs phase after phase without the player until a target year
// and month, one phase end step per timer tick, while a list ranks every house by strength and
// the ten strongest are coloured on the country map.
//
// This is the model the automatic-advance dialog drives. The dialog owns the one-shot timer: after
// Start it arms the timer (10 ms); each expiry kills it and calls Tick, and the timer is armed
// again only when Tick asks for it, so two steps never overlap. Between ticks the dialog's event
// loop runs, so the stop button and the list stay usable.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/turn/main_game.h"

namespace rymd {

class CAutoAdvance {
public:
    // Sort keys of the house list (any other index sorts by direct rice yield).
    enum SortIndex : int {
        kSortByShiro = 0,
        kSortByKokudaka = 1,             // rice yield of the castles the house owns
        kSortByKokudakaWithShinjuu = 2,  // the same with the castles of its vassals
    };

    enum class StartResult {
        kStarted,
        kBadMonth,  // the month is not 1..12 (the entry field's own range message applies)
        kNotLater,  // "現在よりも後の年月を入力してください" was shown
    };

    enum class TickResult {
        kContinue,   // arm the timer again
        kStopped,    // the stop request ended the run; the dialog stays open
        kReached,    // the target month's personnel phase has begun; the dialog stays open
        kGameEnded,  // the game ended during the step: the dialog closes with 0 and the game restarts
        kGameOver,   // the game is over: the dialog closes with OK
        kQuit,       // the player's house fell and he stopped watching: the program ends
    };

    // One row of the house list.
    struct Row {
        int daimyou = -1;
        int image = 0;  // 0..9 the rank's colour, 10 from the eleventh on, 11 a vassal house
        int shiro = 0;
        std::int64_t kokudaka = 0;
        std::int64_t kokudakaWithShinjuu = 0;
        std::array<std::string, 4> texts;  // house name, castles, both rice yields
    };

    static constexpr int kImageOther = 10;
    static constexpr int kImageShinjuu = 11;
    static constexpr const char* kNotLaterMessage = "現在よりも後の年月を入力してください";
    static constexpr const char* kHint = "リストをクリックすると勢力範囲を確認できます";

    explicit CAutoAdvance(CMainGame& game);

    // The dialog opens: the colour display of the country map is saved and switched on, the skip
    // option is handed to the game and the list is filled.
    void Open();
    // The dialog closes: the colour display is restored.
    void Close();
    // After the dialog: the automatic-advance flag is cleared; true when the game ended during the
    // run and must restart.
    bool Finish();

    // Entry values, preset to the current date, the sort by direct rice yield and skipping.
    int EntryYear() const { return entryYear_; }
    int EntryMonth() const { return entryMonth_; }
    bool SkipEvents() const { return skipEvents_; }
    void SetSkipEvents(bool on);

    StartResult Start(int year, int month);
    TickResult Tick();
    void RequestStop() { stopRequested_ = true; }
    bool Running() const { return running_; }
    int TargetYear() const { return targetYear_; }
    int TargetMonth() const { return targetMonth_; }

    // The list: tally, sort and the colours of the ten strongest. Rows in ranked order.
    const std::vector<Row>& FillDaimyouList();
    const std::vector<Row>& Rows() const { return rows_; }
    int GetSortIndex() const { return sortIndex_; }
    // Re-sorts when the index changed; true when it did.
    bool SetSortIndex(int index);
    // Columns 1, 2 and 3 sort by castles, direct and vassal-inclusive rice yield; the name column
    // does not sort. True when the list was re-sorted.
    bool OnColumnClick(int column);
    // The house whose information a click on a row opens; -1 while a run is in progress.
    int OnListClick(int row) const;

    // Titles of the list and its columns in the scenario's words, and the column widths.
    std::string ListTitle() const;
    std::array<std::string, 4> ColumnTitles() const;
    static constexpr std::array<int, 4> kColumnWidths = {100, 45, 100, 100};
    // "%d万%04d石" in the scenario's words.
    std::string KokudakaText(std::int64_t kokudaka) const;

private:
    CMainGame& game_;
    int entryYear_ = 0;
    int entryMonth_ = 0;
    int targetYear_ = 0;
    int targetMonth_ = 0;
    int sortIndex_ = kSortByKokudaka;
    bool skipEvents_ = true;
    bool savedColorDisplay_ = false;
    bool stopRequested_ = false;
    bool running_ = false;
    std::vector<Row> rows_;
};

}  // namespace rymd
