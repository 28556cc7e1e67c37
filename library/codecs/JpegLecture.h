#pragma once
// One decoding of a JPEG file, from opening to release. Every call into the
// library runs under a recovery point of its own: a fatal error notes its
// message under "JPEG Fatal Error" in the report and the call returns false.
// Whatever happened, the destructor releases the decompressor and the file.

#include "Budget.h"
#include "JpegErreur.h"
#include "Types.h"

#include <vector>

class Metadonnees;
class RapportCodec;

class JpegLecture {
public:
    // What the decoding has to say goes to rapport, and what it costs is
    // charged to budget; both outlive it.
    JpegLecture(RapportCodec& rapport, Budget& budget);
    ~JpegLecture();
    JpegLecture(const JpegLecture&) = delete;
    JpegLecture& operator=(const JpegLecture&) = delete;

    // Before Ouvre: the markers a photograph's metadata is made of go to
    // metadonnees as the file is read, within its bounds.
    void GardeMetadonnees(Metadonnees* metadonnees);
    // Opens the file and reads its header; an image is required. Reports
    // "JPEG :\nCan't open %s\n" when the file cannot be opened.
    bool Ouvre(const CString& path);
    // The decoding fits the budget: the pixels, the output rows of
    // octetsParPixel bytes each and the library's whole-image buffers in
    // memory, the picture within what the file's bytes can describe.
    // Otherwise the caller reports it as memory refused. The scans read
    // later are charged as they come and end the decoding as a fatal error
    // when the file's bytes cannot justify them.
    bool TailleAcceptable(int octetsParPixel);
    // Header fields, and the output settings to change before Demarre.
    jpeg_decompress_struct& Info() { return m_info; }
    // Before Demarre, for a picture wanted smaller: the library decodes at
    // the smallest of the scales 1/8, 1/4, 1/2 and 1 whose rows are still
    // at least largeur by hauteur, skipping most of the work of the pixels
    // it would drop.
    bool ReduitAuMoins(JDIMENSION largeur, JDIMENSION hauteur);
    bool Demarre();
    // Sample rows from the image pool, released with the decompressor.
    JSAMPARRAY AlloueLignes(JDIMENSION samples, JDIMENSION rows);
    // Reads up to count rows; lues receives how many came.
    bool LitLignes(JSAMPARRAY rows, JDIMENSION count, JDIMENSION& lues);
    bool Termine();
    // Instead of Demarre: every block's quantized coefficients, held by the
    // decompressor until it is released, every row of them defined (zeros
    // where no scan reached); null on a fatal error.
    jvirt_barray_ptr* LitCoefficients();

    // After Ouvre: the file's bytes from the first one of the picture's data
    // to the file's end, the budget charged for them; the decoding can
    // still go on from the same place.
    bool LitDonnees(std::vector<std::uint8_t>& octets);

    // Reports "JpegFile :\nOut of memory", for a picture too large to hold.
    void SignaleMemoire();
    RapportCodec& Rapport() const { return m_erreur.Rapport(); }
    // Where the messages go from now on, for a decoding that moves to
    // another thread and back.
    void Rapporte(RapportCodec& rapport) { m_erreur.Rapporte(rapport); }

private:
    static void Surveille(j_common_ptr info);
    static boolean LitMarqueur(j_decompress_ptr info);
    // The file source, as the library's own but with a larger buffer.
    static void DebuteSource(j_decompress_ptr info);
    static boolean RemplitSource(j_decompress_ptr info);
    static void SauteSource(j_decompress_ptr info, long octets);
    static void TermineSource(j_decompress_ptr info);

    JpegErreur m_erreur;
    jpeg_progress_mgr m_progression{};
    jpeg_decompress_struct m_info;
    std::FILE* m_fichier = nullptr;
    jpeg_source_mgr m_source{};
    // The file's bytes on their way to the library. With the library's own
    // 4 KiB its fast entropy decoder, which wants 512 bytes per block of an
    // MCU at hand, leaves most of a 4:2:0 picture to the slow one.
    std::vector<JOCTET> m_tampon;
    bool m_debutFichier = true;
    Budget& m_budget;
    std::uint64_t m_tailleFichier = 0;
    int m_dernierScan = 0; // the last scan charged to the budget
    Metadonnees* m_metadonnees = nullptr;
    // One marker's bytes on their way to m_metadonnees.
    std::vector<JOCTET> m_marqueur;
};
