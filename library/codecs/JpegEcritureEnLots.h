#pragma once
// A JPEG encoding fed with batches of rows. On a thread of its own when
// asked, so that the caller decodes and draws the next rows on one core
// while these are encoded on another; on the caller's thread otherwise.
// The rows go to the encoder in the order they are given: the same bytes
// either way.

#include "Bitmap.h"
#include "JpegEcriture.h"
#include "RapportCodec.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class JpegEcritureEnLots {
public:
    // ecriture is started (markers written), its rows width pixels wide
    // in 32 bits; with fil, it belongs to the thread until Termine, and
    // reports there to a report of the thread's own.
    JpegEcritureEnLots(JpegEcriture& ecriture, int width, bool fil);
    // Stops the thread, rows still waiting are dropped; what the thread
    // reported joins ecriture's report, as in Termine.
    ~JpegEcritureEnLots();
    JpegEcritureEnLots(const JpegEcritureEnLots&) = delete;
    JpegEcritureEnLots& operator=(const JpegEcritureEnLots&) = delete;

    static constexpr int kLignes = 16;
    // A buffer of kLignes rows to fill and Donne back, waiting for one the
    // thread has finished with; null once the encoding has failed.
    Bitmap* Tampon();
    // The first count rows of a buffer from Tampon, or of a band the thread
    // takes over (and frees once encoded). False once the encoding failed.
    bool Donne(Bitmap* rows, int count);
    bool Donne(std::unique_ptr<Bitmap> band);
    // Waits for every row given; true when all were encoded. What the
    // thread reported is then added to ecriture's report, after what the
    // caller reported before, as if the encoding had run on its thread.
    bool Termine();

private:
    struct Lot {
        Bitmap* rows;
        int count;
        bool owned;
    };
    void Travaille();
    void Arrete();
    // Encodes a batch; false when the library failed.
    bool Encode(const Lot& lot);

    JpegEcriture& m_Ecriture;
    std::vector<std::unique_ptr<Bitmap>> m_Tampons;
    std::mutex m_Verrou;
    std::condition_variable m_Signal;
    std::deque<Lot> m_File;
    std::vector<Bitmap*> m_Libres;
    bool m_Fin = false;
    bool m_Echec = false;
    // The caller's report while the thread has the encoder.
    RapportCodec* m_RapportAppelant = nullptr;
    RapportCodec m_RapportFil;
    std::thread m_Fil;
};
