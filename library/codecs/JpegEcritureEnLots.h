#pragma once
// A JPEG encoding fed with batches of rows. On a thread of its own when
// asked, so that the caller decodes and draws the next rows on one core
// while these are encoded on another; on the caller's thread otherwise.
// The rows go to the encoder in the order they are given: the same bytes
// either way.

#include "Bitmap.h"
#include "InteractionDifferee.h"
#include "JpegEcriture.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class JpegEcritureEnLots {
public:
    // ecriture is started (markers written), its rows width pixels wide
    // in 32 bits; with fil, it belongs to the thread until Termine.
    JpegEcritureEnLots(JpegEcriture& ecriture, int width, bool fil);
    // Stops the thread, rows still waiting are dropped.
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
    // encoder reported is then shown through the calling thread's
    // Interaction, as if it had run there.
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
    InteractionDifferee m_Annonces;
    std::thread m_Fil;
};
