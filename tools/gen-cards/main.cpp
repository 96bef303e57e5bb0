// varnel-gen-cards OUT_DIR: draws the images that the window loads from "cards/":
//  - one 25 x 35 face per card, named by its code ("As.bmp" ... "2c.bmp"), four-colour deck;
//  - "x.bmp", the picker image of a card that is already picked into a field;
//  - "rnd", "select" (20 x 20) and "delete" (15 x 15) field buttons, each with a hover form "_h";
//  - "varnel.ico", the window icon;
//  - with ICON_DIR, the same icon as PNG at the desktop's usual sizes, for the menu entry.
// Everything is drawn from the pixel glyphs in glyphs.cpp; no display is needed.

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/init.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/cards.h"
#include "tools/gen-cards/glyphs.h"

namespace {

using varnel::glyphs::Glyph;

struct Rgb {
    unsigned char r, g, b;
};

constexpr int kCardWidth = 25;
constexpr int kCardHeight = 35;
constexpr int kFieldButton = 20;
constexpr int kClearButton = 15;
constexpr int kIconSize = 32;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kEdge{120, 120, 120};
// Suit colours of the four-colour deck, indexed by suit index (c, d, h, s).
constexpr Rgb kSuitColour[varnel::kSuits] = {{0, 128, 0}, {0, 70, 210}, {205, 0, 0}, {0, 0, 0}};

void fill(wxImage& img, Rgb c) {
    img.SetRGB(wxRect(0, 0, img.GetWidth(), img.GetHeight()), c.r, c.g, c.b);
}

void frame(wxImage& img, Rgb c) {
    const int w = img.GetWidth(), h = img.GetHeight();
    for (int x = 0; x < w; ++x) {
        img.SetRGB(x, 0, c.r, c.g, c.b);
        img.SetRGB(x, h - 1, c.r, c.g, c.b);
    }
    for (int y = 0; y < h; ++y) {
        img.SetRGB(0, y, c.r, c.g, c.b);
        img.SetRGB(w - 1, y, c.r, c.g, c.b);
    }
}

// Draws `g` with its top-left corner at (x, y), every glyph pixel as a scale x scale block.
void draw(wxImage& img, const Glyph& g, int x, int y, int scale, Rgb c) {
    for (int row = 0; row < g.height; ++row)
        for (int col = 0; col < g.width; ++col)
            if (g.on(col, row))
                img.SetRGB(wxRect(x + col * scale, y + row * scale, scale, scale), c.r, c.g, c.b);
}

wxImage cardFace(int rank, int suit) {
    wxImage img(kCardWidth, kCardHeight);
    fill(img, kWhite);
    frame(img, kEdge);
    const Rgb colour = kSuitColour[suit];
    constexpr int scale = 2;
    // The rank in the upper half ("10" for the ten), the suit below it, both centred.
    const auto rankGlyphs = varnel::glyphs::rankGlyphs(rank);
    int width = -1;
    for (const Glyph* g : rankGlyphs) width += (g->width + 1);
    int x = (kCardWidth - width * scale) / 2;
    for (const Glyph* g : rankGlyphs) {
        draw(img, *g, x, 3, scale, colour);
        x += (g->width + 1) * scale;
    }
    const Glyph& s = varnel::glyphs::suitGlyph(suit);
    draw(img, s, (kCardWidth - s.width * scale) / 2, 19, scale, colour);
    return img;
}

wxImage usedCard() {
    wxImage img(kCardWidth, kCardHeight);
    fill(img, {200, 200, 200});
    frame(img, kEdge);
    // A dark diagonal cross over the whole face.
    for (int y = 2; y < kCardHeight - 2; ++y) {
        const int x = 2 + (y - 2) * (kCardWidth - 5) / (kCardHeight - 5);
        for (int dx = 0; dx < 2; ++dx) {
            img.SetRGB(x + dx, y, 90, 90, 90);
            img.SetRGB(kCardWidth - 1 - x - dx, y, 90, 90, 90);
        }
    }
    return img;
}

wxImage button(int size, const Glyph& g, Rgb background, Rgb ink) {
    wxImage img(size, size);
    fill(img, background);
    frame(img, kEdge);
    draw(img, g, (size - g.width) / 2, (size - g.height) / 2, 1, ink);
    return img;
}

// A black spade on yellow, `size` pixels square; the spade grows in whole pixels with the size.
wxImage icon(int size) {
    wxImage img(size, size);
    fill(img, {255, 221, 0});
    frame(img, kEdge);
    const Glyph& spade = varnel::glyphs::suitGlyph(3);
    const int scale = std::max(1, size * 4 / kIconSize);
    draw(img, spade, (size - spade.width * scale) / 2, (size - spade.height * scale) / 2, scale,
         {0, 0, 0});
    return img;
}

bool save(const wxImage& img, const wxString& dir, const wxString& name, wxBitmapType type) {
    const wxString path = wxFileName(dir, name).GetFullPath();
    if (img.SaveFile(path, type)) return true;
    std::fprintf(stderr, "cannot write %s\n", static_cast<const char*>(path.utf8_str()));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: varnel-gen-cards OUT_DIR [ICON_DIR]\n");
        return 2;
    }
    wxInitializer init;
    if (!init.IsOk()) return 1;
    wxImage::AddHandler(new wxICOHandler);
    const wxString dir = wxString::FromUTF8(argv[1]);
    if (!wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL)) return 1;

    bool ok = true;
    for (varnel::CardId id = 0; id < varnel::kDeckSize; ++id) {
        const wxString code(std::wstring(varnel::cardCodes[id]));
        ok &= save(cardFace(varnel::rankOf(id), varnel::suitOf(id)), dir, code + ".bmp",
                   wxBITMAP_TYPE_BMP);
    }
    ok &= save(usedCard(), dir, "x.bmp", wxBITMAP_TYPE_BMP);

    using namespace varnel::glyphs;
    constexpr Rgb plain{235, 235, 235}, hover{255, 240, 150};
    constexpr Rgb ink{40, 40, 40}, red{200, 0, 0};
    ok &= save(button(kFieldButton, die(), plain, ink), dir, "rnd.bmp", wxBITMAP_TYPE_BMP);
    ok &= save(button(kFieldButton, die(), hover, ink), dir, "rnd_h.bmp", wxBITMAP_TYPE_BMP);
    ok &= save(button(kFieldButton, arrow(), plain, ink), dir, "select.bmp", wxBITMAP_TYPE_BMP);
    ok &= save(button(kFieldButton, arrow(), hover, ink), dir, "select_h.bmp", wxBITMAP_TYPE_BMP);
    ok &= save(button(kClearButton, cross(), plain, red), dir, "delete.bmp", wxBITMAP_TYPE_BMP);
    ok &= save(button(kClearButton, cross(), hover, red), dir, "delete_h.bmp", wxBITMAP_TYPE_BMP);
    ok &= save(icon(kIconSize), dir, "varnel.ico", wxBITMAP_TYPE_ICO);
    if (argc == 3) {
        // The desktop's icon theme layout: ICON_DIR/hicolor/<n>x<n>/apps/varnel.png.
        wxImage::AddHandler(new wxPNGHandler);
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            const wxString sub = wxString::Format("%s/hicolor/%dx%d/apps", argv[2], size, size);
            ok &= wxFileName::Mkdir(sub, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL) &&
                  save(icon(size), sub, "varnel.png", wxBITMAP_TYPE_PNG);
        }
    }
    return ok ? 0 : 1;
}
