#include "platform/qt/font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>
#include <cmath>
#include <cstdlib>

namespace rymd::ui {

namespace {

constexpr int kMaxFontHeight = 4096;

bool FamilyInstalled(const QString& family) {
    static const QStringList families = QFontDatabase::families();
    return families.contains(family, Qt::CaseInsensitive);
}

}  // namespace

struct Font::Impl {
    LogFont lf;
    QFont qfont;
    int cell = 0;
    int ascent = 0;
    int averageWidth = 0;
};

Font::Font() = default;
Font::~Font() = default;

std::string Font::MapFaceName(std::string_view face) {
    // Fixed-pitch Gothic, proportional Gothic, and the two Mincho faces.
    static constexpr std::string_view kGothic[] = {"ＭＳ ゴシック", "MS Gothic", "ＭＳゴシック",
                                                   "MS ゴシック", "Osaka－等幅"};
    static constexpr std::string_view kPGothic[] = {
        "ＭＳ Ｐゴシック", "MS PGothic",     "ＭＳＰゴシック", "MS UI Gothic", "ＭＳ ＵＩ ゴシック",
        "MS Shell Dlg",    "MS Shell Dlg 2", "MS Sans Serif",  "System",       ""};
    static constexpr std::string_view kMincho[] = {"ＭＳ 明朝", "MS Mincho", "ＭＳ明朝"};
    static constexpr std::string_view kPMincho[] = {"ＭＳ Ｐ明朝", "MS PMincho", "ＭＳＰ明朝"};
    for (std::string_view f : kGothic)
        if (face == f) return "IPAGothic";
    for (std::string_view f : kPGothic)
        if (face == f) return "IPAPGothic";
    for (std::string_view f : kMincho)
        if (face == f) return FamilyInstalled("IPAMincho") ? "IPAMincho" : "IPAGothic";
    for (std::string_view f : kPMincho)
        if (face == f) return FamilyInstalled("IPAPMincho") ? "IPAPMincho" : "IPAPGothic";
    return std::string(face);
}

bool Font::CreateFont(int height, int width, int escapement, int orientation, int weight, bool italic,
                      bool underline, bool strikeOut, int charSet, int outPrecision, int clipPrecision,
                      int quality, int pitchAndFamily, const char* faceName) {
    LogFont lf;
    lf.height = height;
    lf.width = width;
    lf.weight = weight;
    lf.italic = italic;
    lf.underline = underline;
    lf.strikeOut = strikeOut;
    lf.charSet = charSet;
    lf.faceName = faceName ? faceName : "";
    return CreateFontIndirect(lf);
}

bool Font::CreateFontIndirect(const LogFont& lf) {
    int size = lf.height == 0 ? 12 : std::abs(lf.height);
    if (size > kMaxFontHeight) return false;
    auto impl = std::make_unique<Impl>();
    impl->lf = lf;
    QFont f(QString::fromStdString(MapFaceName(lf.faceName)));
    // The game's faces draw their characters as tall as the line, so a line height and a
    // character height give the same glyph size.
    f.setPixelSize(size);
    f.setWeight(lf.weight >= FW_SEMIBOLD ? QFont::Bold : QFont::Normal);
    f.setItalic(lf.italic);
    f.setUnderline(lf.underline);
    f.setStrikeOut(lf.strikeOut);
    f.setKerning(false);
    impl->qfont = f;
    impl->cell = size;
    QFontMetricsF fm(f);
    int ascent = static_cast<int>(std::lround(fm.ascent()));
    impl->ascent = std::clamp(ascent, 1, size);
    QFontMetrics fmi(f);
    int letters =
        fmi.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    impl->averageWidth = (letters / 26 + 1) / 2;
    impl_ = std::move(impl);
    return true;
}

bool Font::CreatePointFont(int pointSize10, const char* faceName, int weight) {
    LogFont lf;
    // Points to pixels at 96 per inch, as the game's screens had them.
    lf.height = -static_cast<int>((static_cast<long long>(pointSize10) * 96 + 360) / 720);
    if (lf.height == 0) lf.height = -1;
    lf.weight = weight;
    lf.charSet = SHIFTJIS_CHARSET;
    lf.faceName = faceName ? faceName : "";
    return CreateFontIndirect(lf);
}

void Font::DeleteObject() {
    impl_.reset();
}

LogFont Font::GetLogFont() const {
    return impl_ ? impl_->lf : Default().GetLogFont();
}

int Font::CellHeight() const {
    return impl_ ? impl_->cell : Default().CellHeight();
}

int Font::Ascent() const {
    return impl_ ? impl_->ascent : Default().Ascent();
}

int Font::Descent() const {
    return CellHeight() - Ascent();
}

int Font::AverageCharWidth() const {
    return impl_ ? impl_->averageWidth : Default().AverageCharWidth();
}

const QFont& Font::QtFont() const {
    return impl_ ? impl_->qfont : Default().QtFont();
}

Font& Font::Default() {
    static Font* font = [] {
        auto* f = new Font;
        f->CreateFont(12, 0, 0, 0, FW_NORMAL, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                      "ＭＳ Ｐゴシック");
        return f;
    }();
    return *font;
}

}  // namespace rymd::ui
