#include "Anticipation.h"

#include <QCoreApplication>

#include <chrono>

Anticipation::~Anticipation()
{
    Abandonne();
    if (!m_Fil.joinable())
        return;
    {
        std::lock_guard<std::mutex> verrou(m_Verrou);
        m_Fin = true;
    }
    m_Signal.notify_one();
    m_Fil.join();
}

void Anticipation::Lance(EtapeSignature& etape, const CString& source, int numero)
{
    Abandonne();
    m_Source = source;
    m_Numero = numero;
    auto tache = std::make_shared<std::packaged_task<Resultat()>>([&etape, source, numero] {
        Resultat resultat;
        resultat.Image = etape.Charge(source);
        if (resultat.Image)
            etape.Signe(resultat.Image, numero);
        resultat.Rapport = etape.PrendRapport();
        return resultat;
    });
    m_Resultat = tache->get_future();
    {
        std::lock_guard<std::mutex> verrou(m_Verrou);
        m_Tache = [tache] { (*tache)(); };
    }
    if (!m_Fil.joinable())
        m_Fil = std::thread(&Anticipation::Travaille, this);
    m_Signal.notify_one();
}

void Anticipation::Travaille()
{
    for (;;) {
        std::function<void()> tache;
        {
            std::unique_lock<std::mutex> verrou(m_Verrou);
            m_Signal.wait(verrou, [this] { return m_Fin || m_Tache; });
            if (!m_Tache)
                return;
            tache = std::move(m_Tache);
            m_Tache = nullptr;
        }
        tache();
    }
}

bool Anticipation::Tient(int numero, const CString& source) const
{
    return m_Resultat.valid() && m_Numero == numero && m_Source == source;
}

HBITMAP Anticipation::Recoit(RapportCodec& echec)
{
    if (!m_Resultat.valid())
        return nullptr;
    // Painting and timers go on; the user's clicks wait for the run's next
    // step, as they wait while it works itself: a "Stop" pressed now would
    // otherwise be released by that step's refresh before being heard.
    constexpr std::chrono::milliseconds kPas(15);
    while (m_Resultat.wait_for(kPas) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Resultat resultat = m_Resultat.get();
    if (resultat.Image)
        resultat.Rapport.Affiche();
    // Shown, the messages are gone; a damage stays for the run to count.
    echec.Reprend(resultat.Rapport);
    return resultat.Image;
}

void Anticipation::Abandonne()
{
    if (!m_Resultat.valid())
        return;
    try {
        DeleteObject(m_Resultat.get().Image);
    } catch (...) {
        // What went wrong with a picture the run will not reach is not its concern.
    }
}
