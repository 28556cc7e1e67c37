#pragma once
// The desktop run's next picture, loaded and signed on a thread of its own
// while the run asks about and writes the one before. What the step
// reports there waits for the run to take the picture, and is shown then,
// where a run on one thread shows it. One thread serves the whole run:
// the fonts it has made stay ready for the next picture.

#include "EtapeSignature.h"
#include "codecs/RapportCodec.h"

#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

class Anticipation {
public:
    Anticipation() = default;
    ~Anticipation();
    Anticipation(const Anticipation&) = delete;
    Anticipation& operator=(const Anticipation&) = delete;

    // Loads source with etape and signs it as the run's picture numero;
    // etape belongs to that thread until Recoit or Abandonne. A picture
    // still in hand is abandoned first.
    void Lance(EtapeSignature& etape, const CString& source, int numero);
    // True while picture numero of source is in hand, ready or not.
    bool Tient(int numero, const CString& source) const;
    // Waits for the picture in hand, with the application's events handled
    // meanwhile, then shows what the step reported. The signed picture,
    // the caller's; null when it did not load (or none was in hand), the
    // step's report then left unshown in echec for the caller to word;
    // a loaded picture's damage is noted there too.
    HBITMAP Recoit(RapportCodec& echec);
    // Waits for the thread and frees its picture unseen: the run will not
    // reach it.
    void Abandonne();

private:
    struct Resultat {
        HBITMAP Image = nullptr;
        RapportCodec Rapport;
    };
    void Travaille();

    std::future<Resultat> m_Resultat;
    // The thread and the one task it is given at a time.
    std::thread m_Fil;
    std::mutex m_Verrou;
    std::condition_variable m_Signal;
    std::function<void()> m_Tache;
    bool m_Fin = false;
    CString m_Source;
    int m_Numero = 0;
};
