// The province map: regions, provinces, named pictures and the relief under them.
// One object is shared by the whole program; the scenario reader resolves every province and
// region identifier of a scenario against it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mb3dmap/elv_map.h"
#include "mbbmp/control_bmp.h"

namespace MbKorMap {

struct KuniRecord {
    std::string id;           // identifier, the file's bytes (at most 30)
    std::string name;         // name, the file's bytes (at most 30)
    std::int16_t chiiki = 0;  // region index
};

struct ChiikiRecord {
    std::string id;
    std::string name;
};

// Everything a map file holds. Loading fills a fresh one and commits it only when the whole
// file was good, so a failed load leaves the shared map as it was.
struct KorMapData {
    std::vector<KuniRecord> kuni;
    std::vector<ChiikiRecord> chiiki;
    std::vector<std::string> pictureNames;  // named pictures in stored order, the file's bytes
    std::vector<MbBmp::CControlBmp> pictures;  // the named pictures themselves, 8-bit with a palette
    std::int32_t width = 0;
    std::int32_t height = 0;
    // 1 when the file had the "RYUUMONDEN MAP " signature, 0 for the older form.
    int formatFlag = 0;
    Mb3dMap::CCtrlElvMap elvMap;
};

class CCtrlKorMap {
public:
    enum LoadResult { kLoaded = 0, kCannotOpen = 1, kBadContent = 2, kRefused = 3 };

    virtual ~CCtrlKorMap() = default;

    // Loads a province map file: 0 loaded, 1 the file cannot be opened, 2 the content is bad,
    // 3 the caller's accept test refused the map. Only a load that returns 0 changes the object.
    int LoadKorMap(const char* path, const std::function<bool(const KorMapData&)>& accept = {});
    // Hands the map's texture sets to the embedded relief map.
    void TextureSetup() {}

    Mb3dMap::CCtrlElvMap& ElvMap() { return data_.elvMap; }
    const KorMapData& Data() const { return data_; }

    int KuniCount() const { return static_cast<int>(data_.kuni.size()); }
    int ChiikiCount() const { return static_cast<int>(data_.chiiki.size()); }
    const KuniRecord& Kuni(int i) const { return data_.kuni[static_cast<std::size_t>(i)]; }
    const ChiikiRecord& Chiiki(int i) const { return data_.chiiki[static_cast<std::size_t>(i)]; }
    int Width() const { return data_.width; }
    int Height() const { return data_.height; }
    int FormatFlag() const { return data_.formatFlag; }
    // Position of the first province / region / picture whose identifier equals the given
    // bytes, or -1.
    int FindKuni(const std::string& id) const;
    int FindChiiki(const std::string& id) const;
    int FindPicture(const std::string& name) const;
    // The named picture at a position (none: nullptr).
    MbBmp::CControlBmp* Picture(int i) {
        return i >= 0 && static_cast<std::size_t>(i) < data_.pictures.size() ? &data_.pictures[static_cast<std::size_t>(i)]
                                                                             : nullptr;
    }

protected:
    // Reads a map file into out; same results as LoadKorMap (without 3).
    virtual int ReadKorMapFile(const char* path, KorMapData& out);

private:
    KorMapData data_;
};

}  // namespace MbKorMap
