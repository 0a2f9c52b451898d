// Fonts of the window layer.
//
// A font is made like the game's windows make it: a height in pixels, a weight, italic,
// underline, strike-out and a face name. A positive height is the height of a whole text line
// (the cell), a negative one the height of the characters; the Japanese faces of the game have
// characters as tall as their cell, so both give the same size.
//
// The game's Japanese faces are mapped to the IPA fonts (Debian's fonts-ipafont-gothic):
//   "ＭＳ ゴシック" (fixed pitch) -> IPAGothic
//   "ＭＳ Ｐゴシック" (proportional) -> IPAPGothic
// The same holds for "MS Gothic" / "MS PGothic", the Mincho faces (to IPAMincho / IPAPMincho
// when installed, else the Gothic ones), "MS UI Gothic", "MS Shell Dlg" and an empty face (the
// proportional Gothic). Other faces go to the font system as given.
//
// Every text line is CellHeight() pixels tall; the base line lies Ascent() pixels below the top
// of the line. Widths come from the face's own glyphs.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "mbbmp/control_bmp.h"
#include "platform/qt/ui_types.h"

class QFont;

namespace rymd::ui {

struct LogFont {
    int height = 0;
    int width = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = DEFAULT_CHARSET;
    std::string faceName;
};

class Font : public MbBmp::TextFont {
public:
    Font();
    ~Font() override;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Makes the font. Arguments after strikeOut are accepted for the callers' sake; only the
    // character set is kept (for GetLogFont). Returns false for a height of 0 beyond 4096 pixels.
    bool CreateFont(int height, int width, int escapement, int orientation, int weight, bool italic,
                    bool underline, bool strikeOut, int charSet, int outPrecision, int clipPrecision,
                    int quality, int pitchAndFamily, const char* faceName);
    bool CreateFontIndirect(const LogFont& lf);
    // A font of the given size in tenths of a point (at 96 pixels per inch).
    bool CreatePointFont(int pointSize10, const char* faceName, int weight = FW_NORMAL);
    void DeleteObject();
    bool IsNull() const { return !impl_; }

    LogFont GetLogFont() const;
    int CellHeight() const;
    int Ascent() const;
    int Descent() const;
    // Average width of the letters A-Z and a-z, rounded the way dialog units use it.
    int AverageCharWidth() const;

    // The Qt font (a default one when the font is null).
    const QFont& QtFont() const;

    // The installed family a face name maps to.
    static std::string MapFaceName(std::string_view face);
    // The font used where a device context has none selected: "ＭＳ Ｐゴシック", 12 pixels.
    static Font& Default();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace rymd::ui
