#include "game/shell/app/picture_store.h"

#include <algorithm>
#include <cstdlib>

#include "game/shell/app/app_context.h"
#include "game/shell/app/program_folders.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "mbbmp/control_bmp.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"

namespace rymd::shell {

CPictureStore& PictureStore() {
    static CPictureStore store;
    return store;
}

const std::array<const char*, 21>& CPictureStore::FileNames() {
    static const std::array<const char*, 21> names = {
        "KaisenBackGround.jpg", "GunsenUnitLeft.bmp", "GunsenUnitRight.bmp",
        "YasenSpring.jpg",      "YasenSummer.jpg",    "YasenAutumn.jpg",
        "YasenWinter.jpg",      "shiro.jpg",          "china.jpg",
        "europe.jpg",           "gendai.jpg",         "ship.jpg",
        "gunsen.jpg",           "suigun.jpg",         "TitleLV.jpg",
        "Kouzan.bmp",           "KouekisenSmall.bmp", "GunsenSmall.bmp",
        "TitleBar.jpg",         "banner.jpg",         "teppou.jpg"};
    return names;
}

void CPictureStore::FindPictureFolder(const std::string& programFolder) {
    if (std::optional<std::string> folder = rymd::shell::FindPictureFolder(programFolder)) {
        m_strFolder = *folder;
        return;
    }
    MbMsgBox("pictureフォルダがありません");
    std::exit(kExitStartFailed);
}

void CPictureStore::Jpeg(const char* name, MbBmp::CControlBmp& bmp) const {
    bmp.LoadJpegFile((m_strFolder + name).c_str(), true);
}

void CPictureStore::Bmp(const char* name, MbBmp::CControlBmp& bmp, bool toDisplayDepth) const {
    bmp.LoadBmpFile((m_strFolder + name).c_str(), toDisplayDepth);
}

void CPictureStore::LoadKaisenPictures(MbBmp::CControlBmp& bg, MbBmp::CControlBmp& left,
                                       MbBmp::CControlBmp& right) const {
    Jpeg("KaisenBackGround.jpg", bg);
    Bmp("GunsenUnitLeft.bmp", left, false);
    Bmp("GunsenUnitRight.bmp", right, false);
}

void CPictureStore::LoadYasenSpring(MbBmp::CControlBmp& bmp) const {
    Jpeg("YasenSpring.jpg", bmp);
}
void CPictureStore::LoadYasenSummer(MbBmp::CControlBmp& bmp) const {
    Jpeg("YasenSummer.jpg", bmp);
}
void CPictureStore::LoadYasenAutumn(MbBmp::CControlBmp& bmp) const {
    Jpeg("YasenAutumn.jpg", bmp);
}
void CPictureStore::LoadYasenWinter(MbBmp::CControlBmp& bmp) const {
    Jpeg("YasenWinter.jpg", bmp);
}
void CPictureStore::LoadShiro(MbBmp::CControlBmp& bmp) const {
    Jpeg("shiro.jpg", bmp);
}
void CPictureStore::LoadChina(MbBmp::CControlBmp& bmp) const {
    Jpeg("china.jpg", bmp);
}
void CPictureStore::LoadEurope(MbBmp::CControlBmp& bmp) const {
    Jpeg("europe.jpg", bmp);
}
void CPictureStore::LoadGendai(MbBmp::CControlBmp& bmp) const {
    Jpeg("gendai.jpg", bmp);
}
void CPictureStore::LoadShip(MbBmp::CControlBmp& bmp) const {
    Jpeg("ship.jpg", bmp);
}
void CPictureStore::LoadGunsen(MbBmp::CControlBmp& bmp) const {
    Jpeg("gunsen.jpg", bmp);
}
void CPictureStore::LoadSuigun(MbBmp::CControlBmp& bmp) const {
    Jpeg("suigun.jpg", bmp);
}
void CPictureStore::LoadTitle(MbBmp::CControlBmp& bmp) const {
    Jpeg("TitleLV.jpg", bmp);
}
void CPictureStore::LoadKouzan(MbBmp::CControlBmp& bmp) const {
    Bmp("Kouzan.bmp", bmp, true);
}
void CPictureStore::LoadKouekisenSmall(MbBmp::CControlBmp& bmp) const {
    Bmp("KouekisenSmall.bmp", bmp, true);
}
void CPictureStore::LoadGunsenSmall(MbBmp::CControlBmp& bmp) const {
    Bmp("GunsenSmall.bmp", bmp, true);
}
void CPictureStore::LoadTitleBar(MbBmp::CControlBmp& bmp) const {
    Jpeg("TitleBar.jpg", bmp);
}
void CPictureStore::LoadBanner(MbBmp::CControlBmp& bmp) const {
    Jpeg("banner.jpg", bmp);
}
void CPictureStore::LoadTeppou(MbBmp::CControlBmp& bmp) const {
    Jpeg("teppou.jpg", bmp);
}

bool CopyScenarioPicture(MbKorMap::CCtrlKorMap* map, int named, MbBmp::CControlBmp& bmp) {
    if (!map || named < 0) return false;
    const MbBmp::CControlBmp* src = map->Picture(named);
    return src && !src->IsEmpty() && bmp.Duplicate(src);
}

void LoadShiroPicture(const GameState& gs, int castle, MbKorMap::CCtrlKorMap* map, MbBmp::CControlBmp& bmp) {
    const CPictureStore& store = PictureStore();
    int code = 0xFFFF;
    if (IsValidShiro(gs, castle)) {
        const int type = ShiroMapAt(gs, castle).shiroType;
        if (type >= 0 && type < std::min(gs.nShiroType, GameState::kMaxShiroType))
            code = gs.ShiroTypeTbl[static_cast<std::size_t>(type)].words[0];
    }
    if (code < 0x8000) {
        if (MbBmp::CControlBmp* named = map ? map->Picture(code) : nullptr; named && !named->IsEmpty()) {
            bmp.Duplicate(named);
            return;
        }
        store.LoadShiro(bmp);
        return;
    }
    switch (code) {
        case 0x8001: store.LoadChina(bmp); break;
        case 0x8002: store.LoadEurope(bmp); break;
        case 0x8003: store.LoadGendai(bmp); break;
        default: store.LoadShiro(bmp); break;
    }
}

}  // namespace rymd::shell
