// rymdcli map-info and map-render: what a province map file holds, and the whole map drawn into
// a PNG the way the game draws its country map.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "tools/rymdcli/arguments.h"

namespace {

// Loads the map as the game does; on failure the message and its reason go to standard error.
int LoadMap(MbKorMap::CCtrlKorMap& map, const std::string& path) {
    map.SetMessageHandler([](const char* message) { std::cerr << message << '\n'; });
    const int result = map.LoadKorMap(path.c_str());
    if (result == MbKorMap::CCtrlKorMap::kCannotOpen)
        std::cerr << "rymdcli: cannot open " << path << ": "
                  << rymd::WhyUnreadable(path, MbKorMap::kKorMapFileMaxBytes) << '\n';
    if (result == MbKorMap::CCtrlKorMap::kBadContent)
        std::cerr << "rymdcli: " << path << ": " << MbKorMap::MapLoadErrorText(map.LastLoadError()) << '\n';
    return result;
}

std::string Text(const std::string& fileBytes) {
    return rymd::ToUtf8(fileBytes, rymd::TextEncoding::ShiftJis);
}

// A province by identifier (given in UTF-8) or by number; -1 when none.
int FindProvince(const MbKorMap::CCtrlKorMap& map, const std::string& what) {
    const int byId = map.FindKuni(rymd::FromUtf8(what, rymd::TextEncoding::ShiftJis));
    if (byId >= 0) return byId;
    if (what.empty() || what.find_first_not_of("0123456789") != std::string::npos) return -1;
    const long n = std::strtol(what.c_str(), nullptr, 10);
    return n < map.KuniCount() ? static_cast<int>(n) : -1;
}

bool ParseColour(const std::string& hex, MbBmp::COLORREF& out) {
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    const unsigned long v = std::strtoul(hex.c_str(), nullptr, 16);
    out = MbBmp::RGB(static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF),
                     static_cast<int>(v & 0xFF));
    return true;
}

}  // namespace

// map-info MAP: format, version, counts, regions and provinces, relief size.
int MapInfo(const std::vector<std::string>& args) {
    std::string path;
    rymd::cli::ArgReader in(args);
    while (in.More())
        rymd::cli::ArgReader::Positional(in.Next(), path, "map");
    rymd::cli::Require(path, "map-info", "a MAP");
    MbKorMap::CCtrlKorMap map;
    if (int result = LoadMap(map, path)) return result;
    const MbKorMap::KorMapData& d = map.Data();
    std::cout << "format: " << (d.formatFlag ? "RYUUMONDEN MAP" : "KorMap") << '\n'
              << "version: " << d.fileVersion << '\n'
              << "unit: " << d.unit << '\n'
              << "relief: " << map.GetMapWidth() << " x " << map.GetMapHeight() << '\n';
    if (d.formatFlag)
        std::cout << "extent: " << d.extent.left << ' ' << d.extent.top << ' ' << d.extent.right << ' '
                  << d.extent.bottom << '\n';
    std::cout << "texture sets: " << d.textureSets.size() << '\n'
              << "pictures: " << d.pictures.size() << '\n'
              << "nodes: " << d.nodes.size() << '\n'
              << "line points: " << d.linePoints.size() << '\n'
              << "lines: " << d.lines.size() << '\n'
              << "polygon line list: " << d.polygonLineList.size() << '\n'
              << "polygons: " << d.polygons.size() << '\n'
              << "labels: " << d.labels.size() << '\n';
    std::cout << "regions: " << map.ChiikiCount() << '\n';
    for (int i = 0; i < map.ChiikiCount(); ++i)
        std::cout << "  " << i << ' ' << Text(map.Chiiki(i).id) << ' ' << Text(map.Chiiki(i).name) << '\n';
    std::cout << "provinces: " << map.KuniCount() << '\n';
    for (int i = 0; i < map.KuniCount(); ++i)
        std::cout << "  " << i << ' ' << Text(map.Kuni(i).id) << ' ' << Text(map.Kuni(i).name) << " (region "
                  << map.Kuni(i).chiiki << ")\n";
    for (std::size_t i = 0; i < d.pictureNames.size(); ++i)
        std::cout << "picture " << i << ' ' << Text(d.pictureNames[i]) << '\n';
    return 0;
}

// map-render MAP OUT.png [--season N] [--width W] [--paint PROVINCE:RRGGBB]... [--relief]
int MapRender(const std::vector<std::string>& args) {
    std::string in, out;
    int season = 0;
    int width = 1280;
    bool relief = false;
    std::vector<std::string> paints;
    rymd::cli::ArgReader reader(args, {"--paint"});
    while (reader.More()) {
        const std::string& a = reader.Next();
        if (a == "--season") {
            season = reader.Count(a, 0, 3);
        } else if (a == "--width") {
            width = reader.Count(a, 1, 8192);
        } else if (a == "--paint") {
            paints.push_back(reader.Value(a));
        } else if (a == "--relief") {
            relief = true;
        } else {
            rymd::cli::ArgReader::Positional(a, in.empty() ? in : out, in.empty() ? "map" : "picture");
        }
    }
    rymd::cli::Require(out, "map-render", "MAP and OUT.png");
    if (rymd::SameFile(in, out)) {
        std::cerr << "rymdcli: the picture " << out << " would overwrite the map\n";
        return 2;
    }

    MbKorMap::CCtrlKorMap map;
    if (int result = LoadMap(map, in)) return result;
    struct Paint {
        int kuni;
        MbBmp::COLORREF colour;
    };
    std::vector<Paint> painted;
    for (const std::string& p : paints) {
        const std::size_t colon = p.rfind(':');
        Paint one{};
        if (colon == std::string::npos || !ParseColour(p.substr(colon + 1), one.colour)) {
            throw rymd::cli::UsageError{"--paint " + p + ": not PROVINCE:RRGGBB"};
        }
        one.kuni = FindProvince(map, p.substr(0, colon));
        if (one.kuni < 0) {
            throw rymd::cli::UsageError{"--paint " + p + ": the map has no province " + p.substr(0, colon)};
        }
        painted.push_back(one);
    }

    // As the game does after a load: the relief becomes a land mask (unless asked to keep it),
    // the textures go to the relief map.
    if (!relief) map.ElvMap().EraseLandTopography();
    map.TextureSetup();
    map.SetSeason(season);
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    if (w < 1 || h < 1) {
        std::cerr << "rymdcli: " << in << " has no relief to draw\n";
        return 1;
    }
    const long long tall = std::max<long long>(1, (static_cast<long long>(width) * h + w / 2) / w);
    // A relief far taller than wide asks for a picture larger than a bitmap may be.
    if (tall > MbBmp::kMaxBitmapSide || tall * width * 4 > MbBmp::kMaxBitmapBytes) {
        std::cerr << "rymdcli: a picture of " << width << " x " << tall << " pixels is too large (at most "
                  << MbBmp::kMaxBitmapSide << " pixels a side and " << (MbBmp::kMaxBitmapBytes >> 20)
                  << " MB); give a smaller --width\n";
        return 1;
    }
    const int height = static_cast<int>(tall);
    MbBmp::CControlBmp picture;
    map.SetExternalBmp(&picture);
    map.DrawMap(0, 0, w, h, width, height);
    if (picture.IsEmpty()) {
        std::cerr << "rymdcli: cannot draw a picture of " << width << " x " << height << " pixels\n";
        return 1;
    }
    for (const Paint& p : painted)
        map.PaintKuni(p.kuni, p.colour, false, 0, true);
    if (!painted.empty()) map.DrawLine();
    std::vector<std::uint8_t> png;
    if (!picture.SavePngData(png)) {
        std::cerr << "rymdcli: cannot make a PNG picture of " << width << " x " << height << " pixels\n";
        return 1;
    }
    if (!rymd::WriteFileAtomic(out, png)) {
        std::cerr << "rymdcli: cannot write " << out << '\n';
        return 1;
    }
    std::cout << out << ": " << width << " x " << height << '\n';
    return 0;
}
