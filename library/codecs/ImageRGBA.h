#pragma once
// Where the RGBA codec libraries (PNG, WebP, HEIF) meet device images: a
// 32-bit device image filled from RGBA rows, with its alpha plane kept apart
// for callers that ask for it, and device-image rows given back as RGB or
// RGBA for an encoder. Allocations are asked of the decoding's Budget first.

#include "Bitmap.h"
#include "Budget.h"

#include <cstdint>
#include <vector>

class ImageRGBA {
public:
    // budget outlives the image.
    explicit ImageRGBA(Budget& budget) : m_budget(budget) {}
    ~ImageRGBA();
    ImageRGBA(const ImageRGBA&) = delete;
    ImageRGBA& operator=(const ImageRGBA&) = delete;

    // Allocates the picture (and its alpha plane when gardeAlpha); false when
    // the budget refuses the size or memory runs out. supplement is memory
    // the decoder holds beside it, reserved with it.
    bool Cree(std::uint32_t largeur, std::uint32_t hauteur, bool gardeAlpha, std::uint64_t supplement = 0);
    // Row y from width RGBA pixels (8 bits each).
    void PoseLigne(int y, const std::uint8_t* rgba);
    // For a decoder that writes B, G, R, A straight into the rows: the first
    // row, the distance between rows and the bytes of all rows; then
    // RangeAlpha moves the fourth bytes to the alpha plane and zeroes them.
    std::uint8_t* Pixels() { return m_image->bits(); }
    std::size_t Pas() const { return m_image->stride(); }
    std::size_t Taille() const { return m_image->byteCount(); }
    void RangeAlpha();
    // Hands the picture over; the alpha plane (width x height, top-down)
    // goes to alpha when given, left empty for a picture entirely opaque.
    HBITMAP Detache(std::vector<std::uint8_t>* alpha);

    // Row y of any device image as RGB (3 bytes a pixel), or RGBA when an
    // alpha plane of the image's size is given.
    static void LitLigne(const Bitmap& image, int y, const std::uint8_t* alpha, std::uint8_t* sortie);

private:
    Budget& m_budget;
    Bitmap* m_image = nullptr;
    std::vector<std::uint8_t> m_alpha;
    bool m_gardeAlpha = false;
};
