// The whole state of a running game: every table with its capacity and count, the current
// date, phase and player, the display and run flags, the scenario settings and the one random
// source. A new game, a loaded game and a restart overwrite it in place.
//
// Tables are fixed-capacity: entries 0 .. count-1 are in use and nothing past the count is
// read. Records name each other by table index; -1 means none.
//
// The object is large (about 20 MB). Its tables live on the heap inside FixedTable, so the
// object itself is small and may stand anywhere; the game keeps one, made with
// std::make_unique<GameState>(), and tests make a fresh one each.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/state/name_index.h"
#include "game/state/records.h"
#include "game/state/scenario_image.h"
#include "game/state/scenario_records.h"
#include "game/state/script_variables.h"
#include "platform/core/random.h"

namespace rymd {

// A table of N records allocated once on the heap. It never changes its size; copying copies
// every record.
template <class T, std::size_t N>
class FixedTable {
public:
    FixedTable() : items_(new T[N]()) {}
    FixedTable(const FixedTable& other) : FixedTable() { std::copy(other.begin(), other.end(), begin()); }
    FixedTable& operator=(const FixedTable& other) {
        if (this != &other) std::copy(other.begin(), other.end(), begin());
        return *this;
    }
    // Moving swaps the storage: both tables stay whole.
    FixedTable& operator=(FixedTable&& other) noexcept {
        items_.swap(other.items_);
        return *this;
    }

    static constexpr std::size_t size() { return N; }
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    T* data() { return items_.get(); }
    const T* data() const { return items_.get(); }
    T* begin() { return items_.get(); }
    T* end() { return items_.get() + N; }
    const T* begin() const { return items_.get(); }
    const T* end() const { return items_.get() + N; }
    // Every record back to its default (zero) state.
    void Clear() { std::fill(begin(), end(), T{}); }

private:
    std::unique_ptr<T[]> items_;
};

// Phases of a month.
enum Phase : int {
    kPhaseEvent = 0,
    kPhaseJinji = 1,      // personnel
    kPhaseGunbi = 2,      // armament
    kPhaseGaikou = 3,     // diplomacy
    kPhaseNaisei = 4,     // domestic
    kPhaseSenryaku = 5,   // strategy
    kPhaseShutsujin = 6,  // sortie
};

// Bit of a province's KuniEventFlags byte: muskets cannot be fired there this month (heavy
// rain). The scheduled events set it, the field and naval battles read it, the month start
// clears it.
inline constexpr std::uint8_t kKuniFlagNoTeppou = 0x02;

class ShiroBushouIndex;

struct GameState {
    // --- capacities ---------------------------------------------------------------------------
    static constexpr int kMaxShiro = 10000;
    static constexpr int kMaxBushou = 30000;
    static constexpr int kMaxDaimyou = 1000;
    static constexpr int kMaxGundan = 100;
    static constexpr int kMaxEvent = 200;
    static constexpr int kMaxConditionalEvent = 2000;
    static constexpr int kMaxTradingPartner = 101;
    static constexpr int kMaxRengou = 50;
    static constexpr int kMaxShiroType = 1000;
    static constexpr int kMaxKuni = 250;
    static constexpr int kMaxTeppouKounyuu = 10;
    static constexpr int kMaxLabel = 1000;
    static constexpr int kColorPalletSize = 10;
    static constexpr int kMaxDoumeiInit = 5000;
    static constexpr int kMaxRoutePoint = 60001;
    static constexpr int kScenarioWordCount = 50;

    // --- tables -------------------------------------------------------------------------------
    FixedTable<CShiro, kMaxShiro> ShiroTbl;      // castle state
    FixedTable<CShiro, kMaxShiro> ShiroSnapTbl;  // castles at the start of the armament / domestic phase
    FixedTable<ShiroMapRecord, kMaxShiro> ShiroMapTbl;   // castle geography (count nShiro)
    FixedTable<CBushou, kMaxBushou> BushouTbl;           // generals on stage
    FixedTable<CBushou, kMaxBushou> MitoujouBushouTbl;   // generals not yet appeared
    FixedTable<BushouExRecord, kMaxBushou> BushouExTbl;  // generals' scenario records (index = id)
    FixedTable<CDaimyou, kMaxDaimyou> DaimyouTbl;        // houses
    FixedTable<DaimyouInitRecord, kMaxDaimyou>
        DaimyouInitTbl;                            // houses' scenario records (count nScenarioDaimyou)
    FixedTable<CGundan, kMaxGundan> GundanTbl;     // corps; a slot is free when its leader is -1
    FixedTable<CEventRecord, kMaxEvent> EventTbl;  // scheduled events
    std::vector<CConditionalEvent>
        ConditionalEventArray;  // conditional events (at most kMaxConditionalEvent)
    FixedTable<CTradingPartner, kMaxTradingPartner> TradingPartnerTbl;  // entry 0 is sea training
    FixedTable<CRengou, kMaxRengou> RengouTbl;                          // coalitions
    FixedTable<ShiroTypeRecord, kMaxShiroType> ShiroTypeTbl;            // castle types
    FixedTable<TeppouSeisanRecord, kMaxKuni> TeppouSeisanTbl;  // musket production per province (count nKuni)
    FixedTable<TeppouKounyuuRecord, kMaxTeppouKounyuu> TeppouKounyuuTbl;  // musket purchase places
    FixedTable<LabelRecord, kMaxLabel> LabelTbl;                          // map labels
    std::array<std::uint32_t, kColorPalletSize> ColorPallet{};  // label colours, red in the low byte
    CGunsenTable GunsenTable;                                   // warship registry
    std::array<std::int32_t, kMaxDaimyou> DaimyouOrder{};       // house order of the phase (nDaimyou entries)
    std::array<std::string, kScenarioWordCount> ScenarioWords;  // vocabulary words (UTF-8)
    CNameIndex NameIndex;                                       // scenario identifiers
    CScriptVariables ScriptVariables;                           // scenario script variables
    std::vector<std::string> ScenarioTextPool;            // descriptions of houses, castles, generals (UTF-8)
    FixedTable<KuniAreaRecord, kMaxKuni> KuniAreaTbl;     // per-province display area of the castle map
    std::array<std::int32_t, 5> MainMapKakudai{};         // given-flag, left, top, right+1, bottom+1
    std::bitset<kMaxShiro> ShiroDisabledBits;             // castles left out of play
    std::vector<int> ExclusionList;                       // castle indexes left out of play
    std::array<std::uint8_t, kMaxKuni> KuniEventFlags{};  // per province; kKuniFlagNoTeppou
    FixedTable<DoumeiInitRecord, kMaxDoumeiInit> DoumeiInitTbl;  // scenario alliances (not saved)
    FixedTable<RoutePoint, kMaxRoutePoint> ShiroRoutePoints;     // route drawing points; entry 0 reserved
    std::vector<RouteRect> ShiroRouteRects;                      // bounding rectangle of each drawn route
    CScenarioImage ScenarioImage;                                // the ending picture, kept with the game

    // --- counts -------------------------------------------------------------------------------
    int nShiro = 0;
    int nBushou = 0;
    int nMitoujouBushou = 0;
    int nBushouEx = 0;
    int nDaimyou = 0;
    int nScenarioDaimyou = 0;  // scenario houses plus the dummy house once a game starts
    int nScenarioDoumei = 0;
    int nEvent = 0;
    int nConditionalEvent = 0;
    int nTradingPartner = 0;
    int nRengou = 0;
    int nShiroType = 0;
    int nKuni = 0;    // provinces of the map, at most 249
    int nChiiki = 0;  // regions of the map
    int nTeppouKounyuu = 0;
    int nLabel = 0;
    int nRoutePoint = 0;
    int nMinatoShiro = 0;  // castles with a port, counted at the new game

    // --- current state ------------------------------------------------------------------------
    int nCurYear = 0;   // never 0; negative years are B.C.
    int nCurMonth = 0;  // 1..12
    int nStartYear = 0;
    int nStartMonth = 0;
    int nPlayerDaimyou = 0;            // the player's house; the dummy last house in a spectator game
    int nCurDaimyou = 0;               // where each phase loop stops for the player
    int nPhase = 0;                    // Phase
    bool bSpectator = false;           // every house is played by the computer
    bool bStartedAsSpectator = false;  // the game began as a spectator game
    bool bViewOnly = false;            // loaded data may only be viewed
    bool bAllAutomatic = false;        // the benchmark loop runs whole months
    bool bGameOver = false;            // one house holds every castle
    bool bAutoAdvance = false;         // automatic advance running: reports that wait are suppressed

    // --- scenario settings --------------------------------------------------------------------
    std::string ScenarioTitle;
    std::string EndingText;
    std::string ScenarioFolder;
    std::string ScenarioBgmNormal;
    std::string ScenarioBgmBattle;
    int nHeiUnit = 0;               // soldiers per stored troop unit: 1 or 10
    int nShiroDotSize = 0;          // castle mark size of the country map
    int nShiroHyourouMax = 0;       // provisions per castle size step
    int nDistanceLimit = 0;         // in route-cost units (value x 10)
    int nUchijiniKakuritsu = 0;     // death in battle, field battles
    int nSeppukuKakuritsu = 0;      // ritual suicide of defeated generals
    int nJuuzokuJoukenHosei = 0;    // subordination demands
    int nShinjuuJoukenHosei = 0;    // vassalage demands
    int nDokuritsuJoukenHosei = 0;  // weighing of envoys' proposals
    int nMainMapMinimumWidth = 0;
    int nShiroOffsetX = 0;
    int nShiroOffsetY = 0;
    int nShiroNameOffset = 0;
    int nDaimyouNameOffset = 0;
    int nKouekisenPrice = 0;        // trade-ship price
    int nGunsenPrice = 0;           // warship price
    int nKishuu = 0;                // surprise attacks in field battles: 1 yes
    std::array<int, 4> RoadCost{};  // broad, narrow, mountain, sea (value x 10)
    int nKouzanPicture = 0;         // picture indexes: -1 the built-in picture
    int nKouekisenPicture = 0;
    int nKouekisenReturnPicture = 0;
    int nGunsenPicture = 0;
    int nGunsenCompletePicture = 0;
    int nGunsenLargePicture = 0;
    int nTeppouPicture = 0;
    int nGunsenUnitPictureR = 0;
    int nGunsenUnitPictureL = 0;
    bool bBushouHojuu = false;                  // new generals appear
    bool bKeiryaku = false;                     // stratagems in sieges
    bool bTekiJouTsuuka = false;                // kept and saved; no rule reads it
    std::int16_t nLanguage = 0;                 // 0 Japanese (Shift-JIS), 1 Chinese (GB2312)
    std::array<double, 4> TeppouCost{};         // initial, monthly decrease, floor, current
    std::array<double, 4> TeppouSoubiRitsu{};   // initial, monthly increase, cap, current
    std::array<std::uint8_t, 4> TeppouKouka{};  // musket effects: three field battle, one siege

    // --- phase state kept with a saved game -----------------------------------------------------
    std::array<int, 4> PlayerChouheiLimits{};  // the player's conscription limits and working copies
    std::array<std::uint8_t, kMaxDaimyou> GaikouDealt{};  // diplomacy phase: houses the player has dealt with
    bool bGaikouBarred = false;                           // diplomacy phase: no more diplomacy this turn
    int nPhaseSplit = 0;     // position in DaimyouOrder where the current phase's loop stopped
    int nTextPoolValue = 0;  // value kept beside the explanation texts (0 after a benchmark start)

    // --- the one random source ----------------------------------------------------------------
    Random rng;

    // --- run state outside the saved game -------------------------------------------------------
    // Position (0..99) and running sum (0..255) of the repeatable number sequence of
    // NextFixedSequenceValue. Kept here so that every game state has its own sequence; they are
    // not written in the saved-game bytes, so the state hash does not see them.
    int nFixedSequenceIndex = 0;
    int nFixedSequenceSum = 0;
    // The index of generals by castle that a phase keeps while it runs (house_index.h); the
    // moves of generals (SetBushouShiro) and the renumbering of the general table tell it.
    // Null when no phase keeps one; not saved, and not taken along by a copy of the state.
    class Watch {
    public:
        Watch() = default;
        Watch(const Watch&) {}
        Watch& operator=(const Watch&) { return *this; }
        ShiroBushouIndex* get() const { return index_; }
        void set(ShiroBushouIndex* index) { index_ = index; }

    private:
        ShiroBushouIndex* index_ = nullptr;
    };
    Watch shiroBushouWatch;

    GameState() = default;

    // Back to the start-up state: every table zero-filled, every count and scalar 0, every
    // text and list empty, the random source at seed 1.
    void Reset();

    // The scenario settings as a scenario file starts them before its first line: title,
    // ending, dates, units, probabilities, prices, road costs, pictures, flags, musket values,
    // province display areas, castle connection lists, houses' scenario records, musket
    // production, warship registry, text pool, exclusions and the main-map view flag.
    // The vocabulary words are set back by the vocabulary's own reset.
    void SetScenarioDefaults();

    // The file encoding of the scenario's texts (nLanguage).
    TextEncoding Encoding() const { return nLanguage == 1 ? TextEncoding::Gb2312 : TextEncoding::ShiftJis; }
};

}  // namespace rymd
