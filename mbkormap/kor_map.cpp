// The province map object: loading and storing, committing a loaded map, the texture hand-over
// and the table lookups.
#include "mbkormap/kor_map.h"

#include <algorithm>
#include <utility>

#include "platform/core/archive.h"
#include "platform/core/file.h"

namespace MbKorMap {

CCtrlKorMap::CCtrlKorMap() {
    data_.elvMap.SetSaveType(1);
}

CCtrlKorMap::~CCtrlKorMap() = default;

// ---- Loading and storing ------------------------------------------------------------------------

int CCtrlKorMap::LoadKorMap(const char* path, const std::function<bool(const KorMapData&)>& accept) {
    KorMapData staged;
    const int result = ReadKorMapFile(path, staged);
    if (result != kLoaded) return result;
    if (accept && !accept(staged)) return kRefused;
    Commit(std::move(staged));
    loadedPath_ = path;
    return kLoaded;
}

int CCtrlKorMap::ReadKorMapFile(const char* path, KorMapData& out) {
    std::vector<std::uint8_t> bytes;
    if (!path || !rymd::ReadFileBytes(path, bytes, kKorMapFileMaxBytes)) {
        lastError_ = MapLoadError::kCannotOpen;
        return kCannotOpen;
    }
    rymd::ArchiveReader ar(bytes);
    MapLoadError error = MapLoadError::kNone;
    if (!ReadKorMap(ar, out, &error)) {
        Refused(error);
        return kBadContent;
    }
    lastError_ = MapLoadError::kNone;
    return kLoaded;
}

bool CCtrlKorMap::Serialize(rymd::ArchiveWriter& ar) const {
    WriteKorMap(ar, data_);
    return true;
}

bool CCtrlKorMap::Serialize(rymd::ArchiveReader& ar) {
    KorMapData staged;
    MapLoadError error = MapLoadError::kNone;
    if (!ReadKorMap(ar, staged, &error)) {
        Refused(error);
        return false;
    }
    lastError_ = MapLoadError::kNone;
    Commit(std::move(staged));
    loadedPath_.clear();
    return true;
}

bool CCtrlKorMap::SaveKorMap(const char* path) const {
    rymd::ArchiveWriter ar;
    WriteKorMap(ar, data_);
    return path && rymd::WriteFileAtomic(path, ar.Data());
}

bool CCtrlKorMap::SetData(KorMapData&& data, std::string* why) {
    if (!CheckKorMapData(data, why)) return false;
    Commit(std::move(data));
    loadedPath_.clear();
    return true;
}

void CCtrlKorMap::Refused(MapLoadError error) {
    lastError_ = error == MapLoadError::kNone ? MapLoadError::kBadGeometry : error;
    if (messageHandler_) messageHandler_(kMsgBadMapFile);
}

// The loaded map replaces the content. The relief map's display settings (target bitmap, season,
// relief level) stay; a map without pictures of its own keeps the pictures the object had.
void CCtrlKorMap::Commit(KorMapData&& staged) {
    Mb3dMap::CCtrlElvMap& old = data_.elvMap;
    MbBmp::CControlBmp* external = old.GetTargetBmp() != &old.GetOwnBmp() ? old.GetTargetBmp() : nullptr;
    const int season = old.GetSeason();
    const int reliefLevel = old.GetReliefLevel();
    if (staged.picturesKept) {
        staged.pictures = std::move(data_.pictures);
        staged.pictureNames = std::move(data_.pictureNames);
        staged.picturesKept = false;
    }
    DeleteAll();
    data_ = std::move(staged);
    data_.elvMap.SetExternalBmp(external);
    data_.elvMap.SetSeason(season);
    data_.elvMap.SetReliefLevel(reliefLevel);
    data_.elvMap.SetSaveType(1);
    if (data_.unit <= 0) data_.unit = data_.formatFlag ? kRyuumondenUnit : kKorMapUnit;
    CalcPolygonRect();
}

void CCtrlKorMap::DeleteAll() {
    data_.nodes.clear();
    data_.linePoints.clear();
    data_.lines.clear();
    data_.polygonLineList.clear();
    data_.polygons.clear();
    data_.polygonRects.clear();
    data_.chiiki.clear();
    data_.kuni.clear();
    landOrder_.clear();
    paletteOrder_.clear();
    ForgetDrawings();
}

void CCtrlKorMap::TextureSetup() {
    Mb3dMap::CCtrlElvMap& elv = data_.elvMap;
    elv.RemoveAllTexture();
    for (const Mb3dMap::tagTEXTURE_SET& set : data_.textureSets)
        if (elv.AddTexture(&set) < 0) break;
    // A map without texture sets is drawn with the relief map's own.
    if (elv.GetTextureCount() == 0) elv.LoadDefaultTexture();
}

// ---- Lookups --------------------------------------------------------------------------------------

namespace {
template <class T>
int FindById(const std::vector<T>& list, const std::string& id) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].id == id) return static_cast<int>(i);
    return -1;
}
}  // namespace

int CCtrlKorMap::FindKuni(const std::string& id) const {
    return FindById(data_.kuni, id);
}
int CCtrlKorMap::FindChiiki(const std::string& id) const {
    return FindById(data_.chiiki, id);
}

int CCtrlKorMap::FindPicture(const std::string& name) const {
    for (std::size_t i = 0; i < data_.pictureNames.size(); ++i)
        if (data_.pictureNames[i] == name) return static_cast<int>(i);
    return -1;
}

const char* CCtrlKorMap::KuniId(int no) const {
    return no >= 0 && no < KuniCount() ? data_.kuni[static_cast<std::size_t>(no)].id.c_str() : "";
}
const char* CCtrlKorMap::KuniName(int no) const {
    return no >= 0 && no < KuniCount() ? data_.kuni[static_cast<std::size_t>(no)].name.c_str() : "";
}
const char* CCtrlKorMap::RegionName(int no) const {
    return no >= 0 && no < ChiikiCount() ? data_.chiiki[static_cast<std::size_t>(no)].name.c_str() : "";
}

}  // namespace MbKorMap
