#pragma once
// One encoding of a JPEG file onto an open stream. Every call into the
// library runs under a recovery point of its own: a fatal error notes its
// message under the caption given in the report and the call returns false.
// The destructor releases the compressor; the stream belongs to the caller.

#include "JpegErreur.h"

#include <cstdint>
#include <vector>

class Metadonnees;
class RapportCodec;

class JpegEcriture {
public:
    // What the encoding has to say goes to rapport, which outlives it.
    JpegEcriture(const char* fatalCaption, RapportCodec& rapport);
    ~JpegEcriture();
    JpegEcriture(const JpegEcriture&) = delete;
    JpegEcriture& operator=(const JpegEcriture&) = delete;

    // Creates the compressor on the stream and starts a baseline image at
    // the quality given, every other parameter the library's default, all
    // tables written.
    bool Demarre(std::FILE* sortie, JDIMENSION width, JDIMENSION height, int components, J_COLOR_SPACE space,
                 int quality);
    // The other start: source's coefficients written as they are, with its
    // quantization tables, sampling, restart interval and progression; the
    // Huffman tables are the standard ones, or computed for these
    // coefficients when optimise (a source's own may lack a symbol).
    bool DemarreCopie(std::FILE* sortie, jpeg_decompress_struct& source, jvirt_barray_ptr* coefficients,
                      bool optimise);
    // After DemarreCopie, for data coded with the source's own Huffman
    // tables: those tables, in the slots the source's components use, are
    // written instead of the standard ones. False when the source uses
    // slots beyond the two every encoder has.
    bool GardeTablesHuffman(const jpeg_decompress_struct& source);
    // Between Demarre and the first rows: a photograph's markers in their
    // order, its ICC profile written whole where its first chunk was.
    bool EcritMetadonnees(const Metadonnees& metadonnees);
    // Sample rows from the image pool, released with the compressor.
    JSAMPARRAY AlloueLignes(JDIMENSION samples, JDIMENSION rows);
    bool EcritLignes(JSAMPARRAY rows, JDIMENSION count);
    bool Termine();
    // Instead of Termine, for a caller that codes the data itself: every
    // marker up to the scan's header, as Termine writes them (the library
    // writes them all before it asks for its first row), then donnees (the
    // scan's data and the end of image) through the same destination, so
    // that a failed write is told as in the other ways.
    bool TermineAvec(const std::vector<std::uint8_t>& donnees);

    jpeg_compress_struct* Info() { return &m_info; }
    // The library's text of the fatal error that made a call fail.
    const char* Message() const { return m_erreur.Message(); }
    RapportCodec& Rapport() const { return m_erreur.Rapport(); }
    // The report of the calls to come, for an encoding that moves to
    // another thread and back.
    void Rapporte(RapportCodec& rapport) { m_erreur.Rapporte(rapport); }

private:
    bool EcritMarqueurs(const Metadonnees& metadonnees, const std::vector<std::uint8_t>& profil);

    // The compressor on sortie; under the caller's recovery point.
    void Cree(std::FILE* sortie);
    bool EcritDonnees(const std::vector<std::uint8_t>& donnees);
    static JBLOCKARRAY ArreteAuxLignes(j_common_ptr info, jvirt_barray_ptr, JDIMENSION, JDIMENSION, boolean);

    JpegErreur m_erreur;
    jpeg_compress_struct m_info;
    std::FILE* m_sortie = nullptr;
    bool m_EntetesEcrites = false;
};
