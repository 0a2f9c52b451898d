// The picture store: finds the picture folder once at start-up and loads its fixed picture files,
// one operation per file, into bitmaps the callers own. It keeps no picture itself: every load
// reads the file again. A missing or unreadable file is not reported: the caller's bitmap is left
// as the bitmap library leaves it after a failed load (empty for a fresh bitmap).
#pragma once

#include <array>
#include <string>

namespace MbBmp {
class CControlBmp;
}
namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {
struct GameState;
}

namespace rymd::shell {

class CPictureStore {
public:
    CPictureStore() = default;
    virtual ~CPictureStore() = default;

    // The picture folder beside the program, else one level up. With neither, shows
    // "pictureフォルダがありません" and ends the process with exit code 1 (kExitStartFailed).
    void FindPictureFolder(const std::string& programFolder);
    // The folder with its trailing '/' ("" before it was found).
    const std::string& Folder() const { return m_strFolder; }
    // Tests and tools point the store at a folder of their own.
    void SetFolder(std::string folder) { m_strFolder = std::move(folder); }

    // Naval battle: background, the left and right sides' ship units (8-bit, palettes kept).
    void LoadKaisenPictures(MbBmp::CControlBmp& bg, MbBmp::CControlBmp& left,
                            MbBmp::CControlBmp& right) const;
    void LoadYasenSpring(MbBmp::CControlBmp& bmp) const;
    void LoadYasenSummer(MbBmp::CControlBmp& bmp) const;
    void LoadYasenAutumn(MbBmp::CControlBmp& bmp) const;
    void LoadYasenWinter(MbBmp::CControlBmp& bmp) const;
    void LoadShiro(MbBmp::CControlBmp& bmp) const;
    void LoadChina(MbBmp::CControlBmp& bmp) const;
    void LoadEurope(MbBmp::CControlBmp& bmp) const;
    void LoadGendai(MbBmp::CControlBmp& bmp) const;
    void LoadShip(MbBmp::CControlBmp& bmp) const;
    void LoadGunsen(MbBmp::CControlBmp& bmp) const;
    void LoadSuigun(MbBmp::CControlBmp& bmp) const;
    void LoadTitle(MbBmp::CControlBmp& bmp) const;
    void LoadKouzan(MbBmp::CControlBmp& bmp) const;
    void LoadKouekisenSmall(MbBmp::CControlBmp& bmp) const;
    void LoadGunsenSmall(MbBmp::CControlBmp& bmp) const;
    void LoadTitleBar(MbBmp::CControlBmp& bmp) const;
    void LoadBanner(MbBmp::CControlBmp& bmp) const;
    void LoadTeppou(MbBmp::CControlBmp& bmp) const;

    // The 21 files of the folder, in the order of the operations above.
    static const std::array<const char*, 21>& FileNames();

private:
    void Jpeg(const char* name, MbBmp::CControlBmp& bmp) const;
    void Bmp(const char* name, MbBmp::CControlBmp& bmp, bool toDisplayDepth) const;

    std::string m_strFolder;
};

// The program's one picture store.
CPictureStore& PictureStore();

// The picture of a castle by its castle type's picture code: below 0x8000 a copy of that named
// picture of the province map (the plain castle when the map holds none, or map is null),
// 0x8001 "china.jpg", 0x8002 "europe.jpg", 0x8003 "gendai.jpg", any other code "shiro.jpg".
void LoadShiroPicture(const GameState& gs, int castle, MbKorMap::CCtrlKorMap* map, MbBmp::CControlBmp& bmp);

// The scenario's picture named (an index among the map's named pictures; below 0 the built-in
// one) copied into bmp; returns false, bmp untouched, when there is no such picture, and the
// caller loads its built-in one.
bool CopyScenarioPicture(MbKorMap::CCtrlKorMap* map, int named, MbBmp::CControlBmp& bmp);

}  // namespace rymd::shell
