#include "game/state/game_state.h"

namespace rymd {

void GameState::Reset() {
    // A fresh state swapped in: every member back to its start-up value, none forgotten.
    *this = GameState();
}

void GameState::SetScenarioDefaults() {
    ScenarioTitle.clear();
    EndingText = "は統一を成し遂げました";
    nStartYear = 1550;
    nStartMonth = 4;
    nHeiUnit = 10;
    nShiroDotSize = 3;
    nShiroHyourouMax = 2000;
    nDistanceLimit = 150;
    nLanguage = 0;
    nUchijiniKakuritsu = 5;
    nSeppukuKakuritsu = 5;
    bBushouHojuu = true;
    nKishuu = 1;
    bKeiryaku = true;
    nJuuzokuJoukenHosei = 5;
    nShinjuuJoukenHosei = 5;
    nDokuritsuJoukenHosei = 5;
    bTekiJouTsuuka = false;
    nMainMapMinimumWidth = 600;
    nKouekisenPrice = 2000;
    nGunsenPrice = 2000;
    RoadCost = {20, 30, 50, 10};
    nKouzanPicture = -1;
    nKouekisenPicture = -1;
    nKouekisenReturnPicture = -1;
    nGunsenPicture = -1;
    nGunsenCompletePicture = -1;
    nGunsenLargePicture = -1;
    nTeppouPicture = -1;
    nGunsenUnitPictureR = -1;
    nGunsenUnitPictureL = -1;
    nShiroOffsetX = 0;
    nShiroOffsetY = 0;
    nShiroNameOffset = 0;
    nDaimyouNameOffset = 0;
    ShiroRouteRects.clear();
    for (auto& area : KuniAreaTbl)
        area = KuniAreaRecord{6, 0, 0, 100, 100};
    for (auto& map : ShiroMapTbl)
        map.ClearConnections();
    MainMapKakudai[0] = 0;
    DaimyouInitTbl.Clear();
    TeppouSeisanTbl.Clear();
    TeppouCost[0] = 300.0;
    TeppouCost[1] = 1.0;
    TeppouCost[2] = 50.0;
    TeppouSoubiRitsu[0] = 0.0;
    TeppouSoubiRitsu[1] = 0.1;
    TeppouSoubiRitsu[2] = 50.0;
    TeppouKouka = {10, 10, 10, 10};
    GunsenTable.count = 0;
    ScenarioTextPool.clear();
    ExclusionList.clear();
    ShiroDisabledBits.reset();
}

}  // namespace rymd
