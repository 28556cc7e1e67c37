#pragma once
// Signs a JPEG by re-encoding only the 8x8 blocks the signature touches; every other block is copied as
// it is, so the photograph keeps its quality, tables and size.

#include "Bitmap.h"
#include "Budget.h"
#include "Types.h"

#include <cstdint>
#include <functional>
#include <vector>

class Metadonnees;
class RapportCodec;
enum class PolitiqueMetadonnees : int;

class JpegParBlocs {
public:
    using RECT = CRect;
    enum class Issue { Ecrit, EchecLecture, EchecEcriture };
    // The rectangles (viewed frame: the picture as its Exif orientation shows it, size given) the
    // signature may change; disjoint, each holding whole layers.
    using Zones = std::function<std::vector<RECT>(CSize viewed)>;
    // Draws the signature onto piece, a 32-bit top-down image (HBITMAP of the platform layer) holding the
    // viewed picture's pixels of rectangle where (viewed frame).
    using Dessine = std::function<void(HBITMAP piece, const RECT& where)>;

    // The markers are read into metadonnees and written back as the policy
    // says, the Orientation tag as it was: the stored pixels are not turned.
    // Progressive and arithmetic-coded files stay so, with their tables and
    // sampling. Whatever fails, an existing sortie is left as it was.
    // A baseline file whose Huffman tables hold every symbol (a camera's)
    // has its rows under no box copied as they are coded: they are read
    // only as far as finding where they end. Otherwise (or without
    // recopie: the same bytes) every block is read and coded again by the
    // library; with encoderThread, a one-scan file is then read on a second
    // thread while its first rows are written: the same bytes, sooner.
    static Issue Signe(const CString& source, const CString& sortie, Metadonnees& metadonnees,
                       PolitiqueMetadonnees politique, const Zones& zones, const Dessine& dessine,
                       bool encoderThread, Budget& budget, RapportCodec& rapport, bool recopie = true);
    // Working memory for a picture of that size (bytes), for the run's memory estimate.
    static std::uint64_t MemoireDeTravail(std::uint64_t largeur, std::uint64_t hauteur);

    // The boxes, stored frame, whole MCUs of mcu pixels, that hold the
    // viewed zones of a stored largeur x hauteur picture at that
    // orientation; those that overlap are merged.
    static std::vector<RECT> Boites(const std::vector<RECT>& zones, int orientation, CSize stocke, CSize mcu);
    // A rectangle of a picture of size taille through an Exif orientation:
    // where the stored pixels land when shown.
    static RECT Tourne(const RECT& r, int orientation, CSize taille);
};
