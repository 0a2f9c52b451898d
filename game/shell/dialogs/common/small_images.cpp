#include "game/shell/dialogs/common/small_images.h"

#include <QImage>

namespace rymd {

namespace {

// The two pictures side by side: '.' the mask colour, 'k' black, 'w' white, 'r' red, 'y' yellow.
constexpr const char* kRows[11] = {
    "...kkk.....kkkkkk.", "..kwwwk....kwwwwkk", "..kwwwk....kwrrwkk", "...kkk.....kwwwwkk",
    "..kkkkk....kwrrwkk", ".kwwwwwk...kwwwwkk", ".kwwwwwk...kwrrwkk", ".kwwwwwk...kwwwwkk",
    ".kwwwwwk...kyyyykk", ".kkkkkkk...kkkkkkk", "..................",
};

QImage SourcePictures() {
    QImage img(18, 11, QImage::Format_RGB16);  // the pictures' 16-bit colour
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 18; ++x) {
            QColor c(0, 0, 128);
            switch (kRows[y][x]) {
                case 'k': c = QColor(0, 0, 0); break;
                case 'w': c = QColor(255, 255, 255); break;
                case 'r': c = QColor(255, 0, 0); break;
                case 'y': c = QColor(255, 255, 0); break;
                default: break;
            }
            img.setPixelColor(x, y, c);
        }
    return img;
}

}  // namespace

ui::ImageList& SharedSmallImageList() {
    static ui::ImageList* list = [] {
        auto* l = new ui::ImageList;
        l->Create(9, 11);
        l->Add(SourcePictures(), kSmallImageMask);
        return l;
    }();
    return *list;
}

}  // namespace rymd
