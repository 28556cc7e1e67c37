#include "ApercuParallele.h"

#include "ContexteEcran.h"

#include <cstring>

namespace {

void Libere(HBITMAP& image)
{
    if (image)
        DeleteObject(image);
    image = nullptr;
}

} // namespace

ApercuParallele::Demande::Demande(Demande&& autre) noexcept { *this = std::move(autre); }

ApercuParallele::Demande& ApercuParallele::Demande::operator=(Demande&& autre) noexcept
{
    if (this != &autre) {
        Libere(Logo.Image);
        Texte = std::move(autre.Texte);
        Fonte = autre.Fonte;
        AvecPolice = autre.AvecPolice;
        Logo = std::move(autre.Logo);
        autre.Logo.Image = nullptr;
    }
    return *this;
}

ApercuParallele::Demande::~Demande() { Libere(Logo.Image); }

ApercuParallele::Resultat::~Resultat()
{
    for (auto& bande : Bandes)
        Libere(bande.second);
    Libere(Apercu);
}

ApercuParallele::ApercuParallele(QObject* parent) : QObject(parent), m_fil([this] { Boucle(); }) {}

ApercuParallele::~ApercuParallele()
{
    {
        std::lock_guard verrou(m_verrou);
        m_arret = true;
    }
    m_reveil.notify_one();
    m_fil.join();
    LibereSources();
    if (m_nouvelles) {
        Libere(m_nouvelles->picture);
        Libere(m_nouvelles->background);
    }
    if (m_police)
        DeleteObject(m_police);
}

void ApercuParallele::Adopte(HBITMAP picture, HBITMAP background, CSize area)
{
    std::lock_guard verrou(m_verrou);
    ++m_generation;
    m_attente.reset();
    if (m_nouvelles) {
        Libere(m_nouvelles->picture);
        Libere(m_nouvelles->background);
    }
    m_nouvelles = Sources{picture, background, area};
    m_adopte = picture && background;
}

void ApercuParallele::Abandonne()
{
    std::lock_guard verrou(m_verrou);
    ++m_generation;
    m_attente.reset();
}

void ApercuParallele::Soumet(Demande demande)
{
    {
        std::lock_guard verrou(m_verrou);
        m_attente = Travail{std::move(demande), m_generation};
    }
    m_reveil.notify_one();
}

void ApercuParallele::Boucle()
{
    for (;;) {
        std::unique_lock verrou(m_verrou);
        m_reveil.wait(verrou, [this] { return m_arret || m_attente; });
        if (m_arret)
            return;
        Travail travail = std::move(*m_attente);
        m_attente.reset();
        std::optional<Sources> nouvelles = std::exchange(m_nouvelles, std::nullopt);
        verrou.unlock();

        if (nouvelles) {
            LibereSources();
            m_sources = *nouvelles;
        }
        std::shared_ptr<Resultat> resultat = Compose(travail.demande);
        QMetaObject::invokeMethod(
            this, [this, generation = travail.generation, resultat] { Recoit(generation, resultat); },
            Qt::QueuedConnection);
    }
}

std::unique_ptr<ApercuParallele::Resultat> ApercuParallele::Compose(const Demande& demande)
{
    auto resultat = std::make_unique<Resultat>();
    if (!m_sources.picture || !m_sources.background)
        return resultat;
    CoucheTexte texte = demande.Texte;
    texte.Police = nullptr;
    if (demande.AvecPolice) {
        if (!m_police || std::memcmp(&m_fonte, &demande.Fonte, sizeof(LOGFONT)) != 0) {
            if (m_police)
                DeleteObject(m_police);
            m_fonte = demande.Fonte;
            m_police = CreateFontIndirect(&m_fonte);
        }
        texte.Police = m_police;
    }

    const MemoireApercu::Images images = m_memoire.Construit(m_sources.picture, m_sources.background, m_sources.area,
                                                             texte, demande.Logo, m_images, &resultat->Taille);
    if (m_images.signee != images.signee)
        Libere(m_images.signee);
    if (m_images.apercu != images.apercu)
        Libere(m_images.apercu);
    m_images = images;
    const auto* lignes = m_memoire.Couvertes(m_sources.picture, m_sources.background, m_sources.area, m_images);
    if (!lignes)
        return resultat;

    CSize taille;
    CGraphique::RecupereInfosImage(m_images.signee, taille, nullptr);
    ContexteEcran dc;
    for (const auto& [premiere, fin] : *lignes) {
        HBITMAP bande = CGraphique::RecoupeImage(dc, m_images.signee, CPoint(0, premiere),
                                                 CSize(taille.cx, fin - premiere), 0);
        if (!bande)
            return std::make_unique<Resultat>();
        resultat->Bandes.emplace_back(premiere, bande);
    }
    resultat->Lignes = *lignes;
    resultat->Apercu = CGraphique::RecoupeImage(dc, m_images.apercu, CPoint(0, 0), m_sources.area, 0);
    return resultat;
}

void ApercuParallele::LibereSources()
{
    m_memoire.Oublie();
    Libere(m_images.signee);
    Libere(m_images.apercu);
    Libere(m_sources.picture);
    Libere(m_sources.background);
}

void ApercuParallele::Recoit(unsigned generation, const std::shared_ptr<Resultat>& resultat)
{
    // A result composed for what the workbench has drawn over since.
    if (generation != m_generation || !Livre)
        return;
    Livre(*resultat);
}
