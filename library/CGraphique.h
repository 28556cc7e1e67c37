#pragma once
// The library's image toolbox. Every picture crossing this interface is a
// device image (HBITMAP) owned by whoever receives it; operations never change
// their source (except RemplieImage, which paints the image it is given) and
// return a new image, or null on failure.

#include "Gdi.h"
#include "codecs/Budget.h"
#include "codecs/JpegParBlocs.h"
#include "image/RegleTaille.h"

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class Metadonnees;
class RapportCodec;
enum class PolitiqueMetadonnees : int;

class CGraphique {
public:
    static constexpr int kNombreMotifs = 50;
    static constexpr UINT kPremierMotif = 1034;

    CGraphique();
    virtual ~CGraphique();
    CGraphique(const CGraphique&) = delete;
    CGraphique& operator=(const CGraphique&) = delete;

    // Model and display
    static void RecupereInfosImage(HBITMAP image, CSize& size, long* depth);
    static CSize RetourneTailleEcran(int* depth);
    int MessageResolutionEcran(int minimum);

    // The limits every picture this toolbox reads is held to, and what its
    // decodings spent: a toolbox per thread, a budget per toolbox.
    Budget& BudgetLecture() { return m_Budget; }

    // Files: read as their content says (RegistreFormats), else as the last
    // three characters of the name say; written as the name says. The
    // overloads taking a RapportCodec record every message there instead of
    // showing it, for callers without windows or on a worker thread; the
    // others show what they record, in the same order.
    HBITMAP ChargeImage(CString path);
    int SauveImage(CString path, HBITMAP image, int quality);
    HBITMAP ChargeImageBMP(CString path);
    int SauveImageBMP(CString path, HBITMAP image);
    HBITMAP ChargeImageJPEG(CString path);
    int SauveImageJPEG(CString path, HBITMAP image, int quality);
    HBITMAP ChargeImageGIF(CString path);
    int SauveImageGIF(CString path, HBITMAP image);
    // PNG, WebP, HEIC/HEIF and AVIF ("PNG", "EBP", "EIC", "EIF", "VIF"):
    // read as 32-bit images.
    // The logo loader: as ChargeImage, SVG drawings too (at their own size;
    // LogoSvg renders them at others), with the picture's alpha plane
    // (width x height, top-down) in alpha: empty when the file has none or
    // is all opaque.
    HBITMAP ChargeImageAlpha(CString path, std::vector<BYTE>& alpha);
    HBITMAP ChargeImageAlpha(CString path, std::vector<BYTE>& alpha, RapportCodec& rapport);

    // Photographs. ChargePhoto gives the picture upright, as a viewer shows
    // it, with the metadata its format carries (JPEG, PNG and WebP: Exif,
    // XMP and ICC profile; HEIC and AVIF: Exif and ICC profile; BMP and GIF
    // load as ChargeImage does, with none); null and the same message as
    // ChargeImage on failure. SauvePhoto writes the metadata loaded with the
    // picture into the formats that carry them, as the policy says and
    // adjusted to the picture saved; 1 or 0 as SauveImage.
    // With a RegleTaille the picture comes at the size it gives (a JPEG
    // decoded at a reduced scale first, then averaged down to it).
    HBITMAP ChargePhoto(CString path, Metadonnees& metadonnees, const RegleTaille& redimension = {});
    HBITMAP ChargePhoto(CString path, Metadonnees& metadonnees, RapportCodec& rapport,
                        const RegleTaille& redimension = {});
    int SauvePhoto(CString path, HBITMAP image, int quality, const Metadonnees& metadonnees,
                   PolitiqueMetadonnees politique);
    int SauvePhoto(CString path, HBITMAP image, int quality, const Metadonnees& metadonnees,
                   PolitiqueMetadonnees politique, RapportCodec& rapport);
    // A photograph changed in some of its rows only, on its way from a JPEG
    // file to a JPEG file: its other rows go from the decoder to the encoder
    // a few at a time, each band is held whole while retouche draws on it,
    // so memory stays that of the bands. bands receives the picture's size
    // once its header and metadata are read, and gives rows [first, end) in
    // increasing order, apart from each other. The bytes written are those of
    // ChargePhoto, retouche on the whole picture, then SauvePhoto, failures
    // reported as they report them. Inapplicable (nothing written) when the
    // picture must be turned first, has no RGB rendering, the names are not
    // both JPEG or the quality is out of range: the caller takes the
    // whole-picture way. With encoderThread the encoding runs on a second
    // thread, for a caller that has a core to spare.
    enum class Flux { Inapplicable, Ecrit, EchecLecture, EchecEcriture };
    using Bandes = std::function<std::vector<std::pair<int, int>>(CSize picture)>;
    using Retouche = std::function<void(HBITMAP band, int first)>;
    Flux RetouchePhotoEnFlux(CString source, CString sortie, int quality, Metadonnees& metadonnees,
                             PolitiqueMetadonnees politique, const Bandes& bands, const Retouche& retouche,
                             bool encoderThread);
    Flux RetouchePhotoEnFlux(CString source, CString sortie, int quality, Metadonnees& metadonnees,
                             PolitiqueMetadonnees politique, const Bandes& bands, const Retouche& retouche,
                             bool encoderThread, RapportCodec& rapport);
    // The same signing by blocks (JpegParBlocs): only the blocks the zones
    // touch are re-encoded, whatever the orientation. Inapplicable when the
    // names are not both JPEG.
    Flux RetouchePhotoParBlocs(CString source, CString sortie, Metadonnees& metadonnees,
                               PolitiqueMetadonnees politique, const JpegParBlocs::Zones& zones,
                               const JpegParBlocs::Dessine& dessine, bool encoderThread, RapportCodec& rapport);

    // A new 32-bit image: source turned as an Exif orientation (1 to 8)
    // says to show it; null on failure or an orientation out of range.
    static HBITMAP RedresseImage(HBITMAP source, int orientation);

    // Geometry
    static HBITMAP RedimensionneImage(HDC reference, HBITMAP source, CSize size, int fast);
    void RedimensionneImage(HDC reference, CBitmap* target, HBITMAP source, CSize size);
    static HBITMAP RecoupeImage(HDC reference, HBITMAP source, CPoint origin, CSize size, COLORREF fill);
    static void RemplieImage(HDC reference, HBITMAP image, COLORREF colour);
    static HBITMAP FusionneImage(HDC reference, HBITMAP base, HBITMAP overlay, CPoint position);
    static CSize CalculTailleRedimensionne(HBITMAP image, int byPercentage, int percentage, int width,
                                           int height, int* percentageOut);
    static CSize CalculTailleOptimale(HBITMAP image);
    static CSize ConservationProportion(CSize image, CSize box);

    // Text
    HBITMAP EcritureTexteDansImage(HDC reference, HBITMAP image, CString text, CPoint position, int vertical,
                                   int horizontal, COLORREF ink, COLORREF background, int transparent,
                                   HFONT font);
    // The drawing step of EcritureTexteDansImage, on the image selected into
    // dc, for callers that may paint their own copy of a picture.
    static void DessineTexte(HDC dc, int imageWidth, const CString& text, CPoint position, int vertical,
                             int horizontal, COLORREF ink, COLORREF background, int transparent, HFONT font);
    // The rectangle DessineTexte may change with the same arguments, before
    // the image's edges cut it; empty when it changes nothing.
    static CRect ZoneTexte(int imageWidth, const CString& text, CPoint position, int vertical, int horizontal,
                           HFONT font);

    // Colour
    static HBITMAP ReglageImage(HDC reference, HBITMAP image, int light, int contrast, int intensity);
    static void fp_rgb_to_hsv(double r, double g, double b, double* h, double* s, double* v);
    static void fp_hsv_to_rgb(double h, double s, double v, double* r, double* g, double* b);

    // Borders, backgrounds and rotation
    static HBITMAP RectangleImage(HDC reference, HBITMAP source, CRect rectangle, int penStyle, int penWidth,
                                  COLORREF colour);
    HBITMAP CadreImage(HDC reference, HBITMAP source, int patterned, int pattern, COLORREF border,
                       int borderWidth, int outline, COLORREF outlineColour);
    HBITMAP CadreMotifImage(HDC reference, HBITMAP source, int patterned, int pattern, COLORREF border,
                            int borderWidth, int outline, COLORREF outlineColour);
    HBITMAP FondImage(HDC reference, CSize canvas, int bitsPerPixel, HBITMAP image, int patterned, int pattern,
                      COLORREF colour);
    HBITMAP FondMotifImage(HDC reference, CSize canvas, int bitsPerPixel, HBITMAP image, int patterned,
                           int pattern, COLORREF colour);
    static HBITMAP RotationImage(HDC reference, HBITMAP source, int angle);

    // The pattern tiles and their 40 x 40 thumbnails; null where a tile is missing.
    HBITMAP Motif(int index) const;
    HBITMAP Vignette(int index) const;

private:
    HGLOBAL LocalDDBToDIB(CBitmap* image, DWORD compression, const PALETTEENTRY* palette);
    HGLOBAL LocalDDBToDIB8Bits(CBitmap* image, DWORD compression, const PALETTEENTRY* palette,
                               PALETTEENTRY* entries);
    HBITMAP Image8Bits(HDC reference, HBITMAP image);
    void LiberationMemoireImage();
    // The readers and writers behind the entry points, reporting into
    // rapport; a JPEG read with metadonnees always decodes straight into a
    // 32-bit image, and a JPEG written with ecrits always writes from one.
    static HBITMAP LitJPEG(const CString& path, Metadonnees* metadonnees, Budget& budget, RapportCodec& rapport,
                           const RegleTaille* redimension = nullptr);
    // Takes image and gives it at taille, averaged over the pixels each one
    // covers; image itself when it has that size; null when no copy fits.
    static HBITMAP Reduit(HBITMAP image, CSize taille);
    int EcritJPEG(const CString& path, HBITMAP image, int quality, const Metadonnees* ecrits, RapportCodec& rapport);
    HBITMAP LitBMP(const CString& path, Budget& budget);
    int EcritBMP(const CString& path, HBITMAP image, RapportCodec& rapport);
    static Flux RetoucheJPEGEnFlux(const CString& source, const CString& sortie, int quality,
                                   Metadonnees& metadonnees, PolitiqueMetadonnees politique, const Bandes& bands,
                                   const Retouche& retouche, bool encoderThread, Budget& budget,
                                   RapportCodec& rapport);
    // A 32-bit copy of any device image; null when it cannot be made.
    static HBITMAP Copie32Bits(const Bitmap& image);

    void ChargeMotifs() const;
    mutable std::once_flag m_MotifsCharges;
    mutable std::array<CBitmap, kNombreMotifs> m_Motifs;
    mutable std::array<CBitmap, kNombreMotifs> m_Vignettes;
    // The file being read by ChargeImageBMP; empty outside it.
    std::size_t m_TailleFichier = 0;
    std::unique_ptr<BYTE[]> m_Fichier;
    HBRUSH m_Pinceau = nullptr;
    HPEN m_Crayon = nullptr;
    Budget m_Budget;

    friend class CGraphiqueTestAccess;
    // Its JPEG and BMP entries read and write through the members above.
    friend class RegistreFormats;
};
