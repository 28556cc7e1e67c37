#pragma once
// The preview's signature composed on a worker thread of its own: the
// workbench hands it each new signature and gets back, on its own thread,
// the signed rows and the reduced preview to lay into the images it shows.
// The worker keeps its own copies of the picture, background, font and logo,
// so nothing it touches is the workbench's.

#include "Composition.h"
#include "MemoireApercu.h"

#include <QObject>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

class ApercuParallele : public QObject {
    Q_OBJECT

public:
    // One signature to compose: the layers as the panels hold them, the
    // font given by its record and the logo by a copy of its own.
    struct Demande {
        CoucheTexte Texte; // Police is ignored: the worker makes its own from Fonte
        LOGFONT Fonte{};
        bool AvecPolice = false;
        CoucheLogo Logo;   // Image is a copy that the request owns
        Demande() = default;
        Demande(const Demande&) = delete;
        Demande& operator=(const Demande&) = delete;
        Demande(Demande&&) noexcept;
        Demande& operator=(Demande&&) noexcept;
        ~Demande();
    };

    // What the worker made of a request: the signed picture's rows where the
    // signature lies, and the whole preview. The bitmaps are the result's own.
    struct Resultat {
        std::vector<std::pair<int, HBITMAP>> Bandes; // first row, rows from it
        std::vector<std::pair<int, int>> Lignes;      // the rows the signature covers
        HBITMAP Apercu = nullptr;
        CSize Taille;
        Resultat() = default;
        Resultat(const Resultat&) = delete;
        Resultat& operator=(const Resultat&) = delete;
        ~Resultat();
    };

    explicit ApercuParallele(QObject* parent = nullptr);
    // Waits for the request in hand; its result is dropped.
    ~ApercuParallele() override;

    // The picture and background the next requests are composed on, over
    // area; both owned from now on. Requests made before are dropped.
    void Adopte(HBITMAP picture, HBITMAP background, CSize area);
    // Requests made so far, and a result on its way, are dropped: the
    // workbench drew its images meanwhile.
    void Abandonne();
    // False until a picture is adopted.
    bool Pret() const { return m_adopte; }
    // Replaces the request waiting, if any: at most one runs and one waits.
    void Soumet(Demande demande);

    // Called on the owner's thread with each result not dropped.
    std::function<void(const Resultat&)> Livre;

private:
    struct Sources {
        HBITMAP picture = nullptr;
        HBITMAP background = nullptr;
        CSize area;
    };
    struct Travail {
        Demande demande;
        unsigned generation = 0;
    };

    void Boucle();
    std::unique_ptr<Resultat> Compose(const Demande& demande);
    void LibereSources();
    void Recoit(unsigned generation, const std::shared_ptr<Resultat>& resultat);

    std::mutex m_verrou;
    std::condition_variable m_reveil;
    bool m_arret = false;
    unsigned m_generation = 0;
    std::optional<Travail> m_attente;
    std::optional<Sources> m_nouvelles;
    bool m_adopte = false;

    // The worker's alone.
    Sources m_sources;
    MemoireApercu m_memoire;
    MemoireApercu::Images m_images;
    LOGFONT m_fonte{};
    HFONT m_police = nullptr;

    std::thread m_fil;
};
