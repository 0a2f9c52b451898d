#include "mbkormap/kor_map.h"

#include <cstdio>
#include <utility>

namespace MbKorMap {

int CCtrlKorMap::LoadKorMap(const char* path, const std::function<bool(const KorMapData&)>& accept) {
    KorMapData staged;
    int result = ReadKorMapFile(path, staged);
    if (result != kLoaded) return result;
    if (accept && !accept(staged)) return kRefused;
    data_ = std::move(staged);
    return kLoaded;
}

int CCtrlKorMap::ReadKorMapFile(const char* path, KorMapData& out) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return kCannotOpen;
    std::fclose(f);
    // Not built yet: reading the two map file formats arrives with the province-map library.
    // Until then every existing file is refused as unreadable content.
    return kBadContent;
}

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

}  // namespace MbKorMap
