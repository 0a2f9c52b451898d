#include "game/turn/new_game.h"

#include <algorithm>
#include <array>
#include <string>

#include "game/diplomacy/bonds.h"
#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

constexpr int kMarkNear = 1;  // sea link whose castles are close by land
constexpr int kMarkFar = 2;
constexpr int kNewGameDelete = 1;  // new-game mark of a link: DELETE_AT_LV
constexpr int kNewGameKeep = 2;    // KEEP_AT_LV

int NewGameMark(const ShiroConnection& c) {
    return (c.drawFlags >> 2) & 0x03;
}

// A new game is played without sea routes and with one road kind: narrow roads and mountain
// paths become broad, sea links between castles that are close by land disappear, and every
// link left is a broad road.
void SimplifyRoutes(GameState& gs) {
    const int n = ShiroCount(gs);
    std::vector<std::array<std::uint8_t, ShiroMapRecord::kMaxConnection>> seaMark(
        static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s) {
        for (ShiroConnection& c : ShiroMapAt(gs, s).connect) {
            if (c.shiro == 0xFFFF) break;
            if (c.kind == 1 || c.kind == 2) c.kind = 0;
        }
    }
    std::vector<std::uint16_t> cost(static_cast<std::size_t>(std::max(n, 1)));
    const int nearLimit = 10 * gs.RoadCost[0];
    for (int a = 0; a < n; ++a) {
        bool costsDone = false;
        auto& links = ShiroMapAt(gs, a).connect;
        for (int i = 0; i < ShiroMapRecord::kMaxConnection && links[i].shiro != 0xFFFF; ++i) {
            if (links[i].kind != 3 || seaMark[a][i] != 0) continue;
            const int b = links[i].shiro;
            if (b >= n) continue;
            if (!costsDone) {
                CalcRoadCost(gs, -1, -1, a, cost, 2);  // land links only
                costsDone = true;
            }
            const std::uint8_t mark = cost[static_cast<std::size_t>(b)] > nearLimit ? kMarkFar : kMarkNear;
            seaMark[a][i] = mark;
            auto& back = ShiroMapAt(gs, b).connect;
            for (int j = 0; j < ShiroMapRecord::kMaxConnection && back[j].shiro != 0xFFFF; ++j)
                if (back[j].shiro == a && back[j].kind == 3) seaMark[b][j] = mark;
        }
    }
    for (int s = 0; s < n; ++s) {
        ShiroMapRecord& m = ShiroMapAt(gs, s);
        m.flags &= static_cast<std::uint8_t>(~ShiroMapRecord::kFlagWaterway);
        for (int i = ShiroMapRecord::kMaxConnection - 1; i >= 0; --i) {
            if (m.connect[i].shiro == 0xFFFF) continue;
            const int mark = NewGameMark(m.connect[i]);
            if (mark == kNewGameDelete || (seaMark[s][i] == kMarkNear && mark != kNewGameKeep)) {
                for (int j = i; j < ShiroMapRecord::kMaxConnection; ++j) {
                    m.connect[j] = m.connect[j + 1];
                    seaMark[s][j] = j + 1 < ShiroMapRecord::kMaxConnection ? seaMark[s][j + 1] : 0;
                }
                m.connect[ShiroMapRecord::kMaxConnection] = ShiroConnection{0xFFFF, 0xFFFF, 0, 0};
            } else {
                m.connect[i].kind = 0;
            }
        }
    }
}

void ResetHouses(GameState& gs) {
    for (int d = 0; d < GameState::kMaxDaimyou; ++d) {
        CDaimyou& h = gs.DaimyouTbl[d];
        h = CDaimyou{};
        h.toushu = -1;
        h.carried8 = -1;
        h.kindByte = 1;
        h.bond = CDaimyou::kBondDokuritsu;
        h.carried48 = -1;
        h.masterDaimyou = d;
        h.relation.fill(static_cast<std::uint8_t>(CDaimyou::kRelNothing));
    }
    for (CGundan& g : gs.GundanTbl) {
        g = CGundan{};
        g.leader = CGundan::kLeaderFree;
        g.daimyou = -1;
    }
    for (int d = 0; d < gs.nScenarioDaimyou; ++d) {
        gs.DaimyouTbl[d].kindByte = gs.DaimyouInitTbl[d].kindByte;
        gs.DaimyouTbl[d].name = gs.DaimyouInitTbl[d].name;
    }
}

void ResetCastles(GameState& gs) {
    const int h = gs.nShiroHyourouMax;
    const int unit = HeiUnit(gs);
    for (int s : ShiroIndexes(gs)) {
        CShiro& c = ShiroAt(gs, s);
        const std::int64_t size = c.kibo;
        c.daimyou = ShiroMapAt(gs, s).initDaimyou;
        c.gundan = -1;
        c.besiegerDaimyou = -1;
        c.blockadeDaimyou = -1;
        c.siegeValue = 0;
        const std::int64_t full = size * h;
        const std::int64_t byYield = static_cast<std::int64_t>(c.kokudaka / 1000) * 300;
        c.hyourou = static_cast<std::uint32_t>(
            std::clamp<std::int64_t>(std::min(full, std::max(byYield, full / 2)), 0, UINT32_MAX));
        c.shubihei = static_cast<std::int16_t>(
            std::clamp<std::int64_t>(h / 10 * size / unit / 2, INT16_MIN, INT16_MAX));
        c.nBushou = 0;
        c.nBesieger = 0;
        c.harvestRate = 10000;
        for (ShiroOrderSlot& v : c.voyage)
            v.ships = 0;
        c.gunsenBuilding = 0;
    }
}

// The castle of a province for a general: a random one owned by the house, chosen in castle
// order; -1 when the house holds none there.
int PickShiroOfHouseInKuni(GameState& gs, int kuni, int daimyou) {
    std::vector<int> found;
    for (int s : ShiroIndexes(gs))
        if (ShiroMapAt(gs, s).kuni == kuni && ShiroAt(gs, s).daimyou == daimyou) found.push_back(s);
    if (found.empty()) return -1;
    return found[static_cast<std::size_t>(gs.rng.Below(static_cast<int>(found.size())))];
}

constexpr std::uint16_t kKuniBit = 0x8000;

// Builds the generals from their scenario records: those present at the start on stage (and
// the heads of their houses by succession rank), the others in the table of generals not yet
// appeared. Returns after the first of the three table messages.
void ConvertBushouRecords(GameState& gs, const Ports& ports) {
    int nOnStage = 0, nWaiting = 0;
    for (int id = 0; id < gs.nBushouEx; ++id) {
        BushouExRecord& ex = gs.BushouExTbl[id];
        CBushou b;
        b.name = ex.name;
        b.status = CBushou::kStatusKashin;
        CopyAbilities(b, ex);
        b.counter33 = static_cast<std::uint8_t>(ex.chibou * static_cast<int>(gs.rng.Unit() * 20));
        b.counter35 = static_cast<std::uint8_t>(ex.chibou * static_cast<int>(gs.rng.Unit() * 20));
        b.birthYear = ex.birthYear;
        b.deathYear = ex.deathYear;
        b.id = static_cast<std::int16_t>(id);
        b.daimyou = ex.daimyou;
        b.cavalry = ex.cavalry;
        b.foot = ex.foot;
        b.muskets = ex.muskets;
        const int mark = ex.birthMark & 0x7F;
        b.flags = mark == 1 ? CBushou::kFlagDeathType1 : mark == 2 ? CBushou::kFlagDeathType2 : 0;

        if (ex.appearYear != 0) {
            if (nWaiting >= GameState::kMaxBushou) {
                ports.inform->Inform("初期未登場武将が多すぎます");
                break;
            }
            b.moveShiro = ex.appearYear;
            b.sortieShiro = static_cast<std::int16_t>(ex.location);
            b.gundan = -1;
            b.sortieOrigin = -1;
            b.joinDaimyou.fill(-1);
            gs.MitoujouBushouTbl[nWaiting++] = b;
            continue;
        }

        ex.birthMark |= 0x80;
        int house = b.daimyou;
        if (house < -2) house &= 0x7FFF;
        int location = ex.location;
        if (house < 0) {
            // A masterless general serves whoever holds his castle.
            if (location & kKuniBit) location = PickRandomShiroInKuni(gs, location & 0x7FFF, -1);
            if (location < 0) continue;  // a province without castles: he is left out
            house = ShiroAt(gs, location).daimyou;
        }
        if (house >= GameState::kMaxDaimyou) {
            ports.inform->Inform("大名家の番号が大きすぎます");
            break;
        }
        if (location >= 0 && (location & kKuniBit))
            location = PickShiroOfHouseInKuni(gs, location & 0x7FFF, house);
        if (!IsValidShiro(gs, location)) continue;  // no castle of his house there: left out
        if (nOnStage >= GameState::kMaxBushou) {
            ports.inform->Inform("初期武将が多すぎます");
            break;
        }
        b.daimyou = static_cast<std::int16_t>(house);
        b.shiro = static_cast<std::int16_t>(location);
        b.gundan = -1;
        b.moveShiro = -1;
        b.sortieShiro = -1;
        b.sortieOrigin = -1;
        b.joinDaimyou.fill(-1);
        b.flags &= static_cast<std::uint16_t>(
            ~(CBushou::kFlagOrdered | CBushou::kFlagBesieging | CBushou::kFlagWarMark));
        if (house >= 0) {
            // The house's head is the general with the smallest succession rank.
            CDaimyou& h = gs.DaimyouTbl[house];
            const int rank = ex.successionRank;
            const int headRank = h.toushu >= 0 ? gs.BushouExTbl[gs.BushouTbl[h.toushu].id].successionRank : 0;
            if (h.toushu < 0 || (rank >= 0 && (headRank < 0 || headRank > rank))) h.toushu = nOnStage;
        }
        gs.BushouTbl[nOnStage++] = b;
    }
    gs.nBushou = nOnStage;
    gs.nMitoujouBushou = nWaiting;
}

void ApplyDoumeiInit(GameState& gs, const Ports& ports) {
    for (int i = 0; i < gs.nScenarioDoumei; ++i) {
        const DoumeiInitRecord& r = gs.DoumeiInitTbl[i];
        const int a = r.daimyou;
        if (a < 0 || a >= gs.nScenarioDaimyou) continue;
        const int from = r.other < 0 ? 0 : r.other;
        const int to = r.other < 0 ? gs.nScenarioDaimyou - 1 : r.other;
        for (int h = from; h <= to && h < gs.nScenarioDaimyou; ++h) {
            if (h == a) continue;
            CDaimyou& da = gs.DaimyouTbl[a];
            CDaimyou& dh = gs.DaimyouTbl[h];
            switch (r.type) {
                case CDaimyou::kRelFusen: MakePeace(gs, ports, a, h, true); break;
                case CDaimyou::kRelJuuzoku:
                    MakePeace(gs, ports, a, h, true);
                    MakeJuuzoku(gs, ports, a, h, true);
                    break;
                case CDaimyou::kRelShinjuu:
                    MakePeace(gs, ports, a, h, true);
                    MakeJuuzoku(gs, ports, a, h, true);
                    MakeShinjuu(gs, a, h);
                    break;
                case CDaimyou::kRelShukuteki:
                    if (da.GetRelationLo(h) == CDaimyou::kRelNothing) {
                        da.SetRelationLo(h, CDaimyou::kRelShukuteki);
                        dh.SetRelationLo(a, CDaimyou::kRelShukuteki);
                    }
                    da.SetRelationHi(h, CDaimyou::kNoCountdown);
                    dh.SetRelationHi(a, CDaimyou::kNoCountdown);
                    break;
                case CDaimyou::kRelNothing:
                    da.SetRelationLo(h, CDaimyou::kRelNothing);
                    dh.SetRelationLo(a, CDaimyou::kRelNothing);
                    da.SetRelationHi(h, 0);
                    dh.SetRelationHi(a, 0);
                    break;
                default: break;
            }
        }
    }
}

}  // namespace

void TallyDaimyouStrength(const GameState& gs, std::span<int> out) {
    std::fill(out.begin(), out.end(), 0);
    for (int s : ShiroIndexes(gs)) {
        const int owner = ShiroAt(gs, s).daimyou;
        if (owner < 0 || static_cast<std::size_t>(owner) >= out.size()) continue;
        out[static_cast<std::size_t>(owner)] += 5;
        const CDaimyou& h = gs.DaimyouTbl[owner];
        const int master = h.masterDaimyou;
        if (h.bond == CDaimyou::kBondShinjuu && master >= 0 && static_cast<std::size_t>(master) < out.size())
            out[static_cast<std::size_t>(master)] += 1;
    }
}

void ApplyDatedValues(GameState& gs) {
    for (int k = 0; k < std::min(gs.nKuni, GameState::kMaxKuni); ++k) {
        TeppouSeisanRecord& r = gs.TeppouSeisanTbl[k];
        if (r.initRate != 0.0) r.current = gs.nCurYear >= r.startYear ? r.initRate : 0.0;
    }
    gs.TeppouCost[3] = gs.TeppouCost[0];
    gs.TeppouSoubiRitsu[3] = gs.TeppouSoubiRitsu[0];
    for (int p = 0; p < gs.nTeppouKounyuu; ++p) {
        TeppouKounyuuRecord& r = gs.TeppouKounyuuTbl[p];
        if (gs.nCurYear < r.startYear) {
            r.currentPrice = 0.0;
            r.currentOffer = 0.0;
        } else {
            r.currentPrice = std::max(r.initPrice, r.priceFloor);
            r.currentOffer = std::min(r.initOffer, r.offerCap);
        }
        r.dialogWork = 0;
    }
}

void SetShiroPictureTransparency(const GameState& gs, MbKorMap::CCtrlKorMap& map) {
    std::vector<bool> seen(5000, false);
    for (int t = 0; t < gs.nShiroType; ++t) {
        for (int i = 6; i <= 12; ++i) {
            const int index =
                static_cast<std::int16_t>(gs.ShiroTypeTbl[t].words[static_cast<std::size_t>(i)]);
            if (index < 0 || index >= static_cast<int>(seen.size()) || seen[static_cast<std::size_t>(index)])
                continue;
            seen[static_cast<std::size_t>(index)] = true;
            MbBmp::CControlBmp* picture = map.Picture(index);
            if (picture == nullptr || picture->GetBitCount() != 8 || picture->GetHeight() < 1) continue;
            MbBmp::RGBQUAD pallet[256] = {};
            picture->GetPallet(pallet);
            // The pixel at the start of the last row of the pixel array (the top row).
            const MbBmp::BYTE index0 = picture->GetBufferTopLeftPtr()[0];
            const MbBmp::RGBQUAD q = pallet[index0];
            picture->SetTransparentColor(MbBmp::RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
    }
}

void SetupNewGame(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports) {
    gs.ScriptVariables.Clear();
    gs.bViewOnly = false;
    SetShiroPictureTransparency(gs, map);
    SimplifyRoutes(gs);
    gs.GunsenTable.count = 0;

    gs.nCurYear = gs.nStartYear;
    gs.nCurMonth = gs.nStartMonth;
    gs.bAutoAdvance = false;
    gs.bGameOver = false;
    gs.nDaimyou = gs.nScenarioDaimyou;
    ResetHouses(gs);
    ResetCastles(gs);
    ConvertBushouRecords(gs, ports);

    for (int b : BushouIndexes(gs)) {
        CShiro& c = ShiroAt(gs, gs.BushouTbl[b].shiro);
        if (c.nBushou < CShiro::kMaxBushou) c.bushou[static_cast<std::size_t>(c.nBushou++)] = b;
    }

    const int m = (9 - gs.nStartMonth + 12) % 12;  // months until the harvest
    for (int d = 0; d < gs.nScenarioDaimyou; ++d) {
        const DaimyouInitRecord& init = gs.DaimyouInitTbl[d];
        CDaimyou& h = gs.DaimyouTbl[d];
        h.shikin = init.shikin != -1 ? init.shikin
                                     : static_cast<std::int32_t>(SumKokudakaOfDaimyou(gs, d) / 12 * 0.8 * m);
        h.koukaiGijutsu = static_cast<std::int16_t>(init.koukaiGijutsu);
        h.kouzanGijutsu = static_cast<std::int16_t>(init.kouzanGijutsu);
    }
    for (int s : ShiroIndexes(gs)) {
        const int owner = ShiroAt(gs, s).daimyou;
        if (IsValidDaimyou(gs, owner) && !HouseExists(gs, owner))
            DaimyouAt(gs, owner).toushu = -2;  // a house with castles but no general
    }
    for (int s : ShiroIndexes(gs)) {
        const int owner = ShiroMapAt(gs, s).initDaimyou;
        ShiroAt(gs, s).commander =
            IsValidDaimyou(gs, owner) ? static_cast<std::int16_t>(DaimyouAt(gs, owner).toushu) : -1;
    }

    ApplyDoumeiInit(gs, ports);
    gs.nRengou = 0;
    gs.nMinatoShiro = CountMinatoShiro(gs);

    std::vector<int> strength(GameState::kMaxDaimyou);
    TallyDaimyouStrength(gs, strength);
    for (int d = 0; d < GameState::kMaxDaimyou; ++d)
        gs.DaimyouTbl[d].strengthHistory.fill(
            static_cast<std::int16_t>(strength[static_cast<std::size_t>(d)]));

    ApplyDatedValues(gs);
    gs.GunsenTable.RemoveGunsenWithoutPort(gs, ports);
    gs.ExclusionList.clear();
    RebuildShiroDisabledBits(gs);
}

bool StartNewGame(GameState& gs, const Ports& ports, int playerDaimyou) {
    if (gs.nScenarioDaimyou >= GameState::kMaxDaimyou) {
        ports.inform->Inform("大名家数がＭＡＸの場合は全自動モードは実行できません");
        return false;
    }
    // The dummy last house: no head, no castle; a spectator watches as this house.
    ++gs.nScenarioDaimyou;
    gs.nDaimyou = gs.nScenarioDaimyou;
    const bool spectator = playerDaimyou < 0;
    gs.nPlayerDaimyou = spectator ? gs.nScenarioDaimyou - 1 : playerDaimyou;
    gs.nCurDaimyou = gs.nPlayerDaimyou;
    gs.bSpectator = spectator;
    gs.bStartedAsSpectator = spectator;
    return true;
}

void ChangePlayerDaimyou(GameState& gs, int house) {
    const int old = gs.nPlayerDaimyou;
    const bool spectator = house < 0;
    gs.nPlayerDaimyou = spectator ? gs.nScenarioDaimyou - 1 : house;
    gs.bSpectator = spectator;
    gs.nCurDaimyou = gs.nPlayerDaimyou;
    if (gs.nPlayerDaimyou == old) return;
    DisbandGundanOfDaimyou(gs, old);
}

void ResetForRestart(GameState& gs) {
    gs.nPlayerDaimyou = -1;
    gs.nCurDaimyou = -1;
    gs.nCurYear = gs.nStartYear;
    gs.nCurMonth = gs.nStartMonth;
    gs.nPhase = kPhaseEvent;
}

namespace {

// The house named by a scenario identifier or an index; -1 when none.
int FindHouse(const GameState& gs, const std::string& house) {
    const int byId = gs.NameIndex.FindDaimyou(FromUtf8(house, gs.Encoding()));
    if (byId >= 0) return byId;
    if (house.empty() || house.find_first_not_of("0123456789") != std::string::npos || house.size() > 4)
        return -1;
    const int index = std::stoi(house);
    return index < gs.nScenarioDaimyou ? index : -1;
}

}  // namespace

int StartGameFromScenario(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports,
                          const NewGameRequest& request) {
    gs.rng.Seed(request.seed);
    CScenarioReader reader(gs, map, ports, request.programFolder);
    const int read = reader.ReadScenarioFile(request.scenarioPath).Code();
    if (read != 0) return read;
    SetupNewGame(gs, map, ports);
    int player = -1;
    if (!request.house.empty()) {
        player = FindHouse(gs, request.house);
        if (player < 0) return kNewGameNoSuchHouse;
        if (gs.DaimyouTbl[player].IsNotForPlayer() || gs.DaimyouTbl[player].toushu < 0) {
            ports.inform->Inform("プレイヤーはこの大名家を担当することはできません");
            return kNewGameHouseRefused;
        }
    }
    return StartNewGame(gs, ports, player) ? 0 : kNewGameHouseRefused;
}

}  // namespace rymd
