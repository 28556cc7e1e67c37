#pragma once
// The coefficients of a one-scan JPEG read on a thread of their own, so that
// an encoder writes the first rows on one core while the next are decoded on
// another. The rows go to the encoder as they are once read: the bytes are
// those of reading the whole picture first.

#include "RapportCodec.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <jpeglib.h>

class JpegLecture;

class CoefficientsEnFond {
public:
    // Called on the encoder's thread before it reads iMCU row ligne, rows
    // in order; false ends the encoding as a fatal error.
    using Avant = std::function<bool(int ligne)>;

    // A file whose header lecture has read can be read this way: one scan
    // holds every component, so each row is whole once passed.
    static bool Possible(const jpeg_decompress_struct& info);

    explicit CoefficientsEnFond(JpegLecture& lecture);
    // Gives up a reading still in progress (see Abandonne).
    ~CoefficientsEnFond();
    CoefficientsEnFond(const CoefficientsEnFond&) = delete;
    CoefficientsEnFond& operator=(const CoefficientsEnFond&) = delete;

    // Starts the reading and gives its arrays once they exist, before any
    // of the picture's data is read; null when the reading failed first.
    // The thread then waits for Poursuit, so that the source's parameters
    // can be copied while nothing changes them.
    jvirt_barray_ptr* Demarre();
    // Hands the rows to encodeur (started on the arrays, its rows not yet
    // asked for) and lets the reading go on.
    void Poursuit(jpeg_compress_struct& encodeur, Avant avant);
    // Waits until the first lignes iMCU rows are read; false when the
    // reading failed or was given up.
    bool Attend(int lignes);
    // Block row y of component c; only for rows Attend has seen read.
    JBLOCKROW Rangee(int c, int y) const { return m_Rangees[std::size_t(c)][std::size_t(y)]; }
    // Waits for the end of the reading and adds what it reported to
    // rapport, where lecture reports again; true when it succeeded.
    bool Termine(RapportCodec& rapport);
    // Stops the reading at its next row and forgets what it reported: the
    // caller has given the picture up. lecture reports to rapport again.
    void Abandonne(RapportCodec& rapport);

private:
    static jvirt_barray_ptr DemandeTableau(j_common_ptr info, int pool, boolean zero, JDIMENSION largeur,
                                           JDIMENSION hauteur, JDIMENSION acces);
    static JBLOCKARRAY AccesDecodeur(j_common_ptr info, jvirt_barray_ptr tableau, JDIMENSION debut,
                                     JDIMENSION nombre, boolean ecrit);
    static JBLOCKARRAY AccesEncodeur(j_common_ptr info, jvirt_barray_ptr tableau, JDIMENSION debut,
                                     JDIMENSION nombre, boolean ecrit);
    void Lit();
    int Composante(jvirt_barray_ptr tableau) const;
    // On the reading thread, at each row it starts: rows before are read.
    // False once the caller has given the reading up.
    bool Avance(int ligne);
    void Rejoint(RapportCodec& rapport);

    JpegLecture& m_Lecture;
    jpeg_decompress_struct& m_Info;
    RapportCodec m_RapportFil;
    // The library's own functions, which the reading still uses.
    decltype(jpeg_memory_mgr::request_virt_barray) m_DemandeBibliotheque;
    decltype(jpeg_memory_mgr::access_virt_barray) m_AccesBibliotheque;
    std::vector<jvirt_barray_ptr> m_Tableaux;
    // Each component's block rows as the reading reaches them.
    std::vector<std::vector<JBLOCKROW>> m_Rangees;
    Avant m_Avant;

    std::mutex m_Verrou;
    std::condition_variable m_Signal;
    int m_Lues = 0; // iMCU rows read whole
    bool m_Pret = false;
    bool m_Poursuit = false;
    bool m_Arret = false;
    bool m_Fin = false;
    bool m_Reussi = false;
    std::thread m_Fil;
};
