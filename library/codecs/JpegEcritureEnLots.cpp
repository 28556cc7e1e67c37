#include "JpegEcritureEnLots.h"

#include <algorithm>

namespace {

// Enough buffers for the decoder to stay a batch or two ahead.
constexpr int kTampons = 3;

} // namespace

JpegEcritureEnLots::JpegEcritureEnLots(JpegEcriture& ecriture, int width, bool fil) : m_Ecriture(ecriture)
{
    for (int i = 0; i < (fil ? kTampons : 1); ++i)
        if (Bitmap* tampon = Bitmap::Create(width, kLignes, 32)) {
            m_Tampons.emplace_back(tampon);
            m_Libres.push_back(tampon);
        }
    // Without a buffer there is nothing to encode from: failed at once.
    m_Echec = m_Tampons.empty();
    if (fil) {
        m_Fil = std::thread(&JpegEcritureEnLots::Travaille, this);
        // The thread touches the encoder only once given rows, under the lock.
        m_RapportAppelant = &ecriture.Rapport();
        ecriture.Rapporte(m_RapportFil);
    }
}

JpegEcritureEnLots::~JpegEcritureEnLots()
{
    {
        std::lock_guard<std::mutex> verrou(m_Verrou);
        m_Echec = true;
    }
    Arrete();
    for (const Lot& lot : m_File)
        if (lot.owned)
            delete lot.rows;
}

void JpegEcritureEnLots::Arrete()
{
    if (!m_Fil.joinable())
        return;
    {
        std::lock_guard<std::mutex> verrou(m_Verrou);
        m_Fin = true;
    }
    m_Signal.notify_all();
    m_Fil.join();
    m_Ecriture.Rapporte(*m_RapportAppelant);
    m_RapportAppelant->Reprend(m_RapportFil);
}

Bitmap* JpegEcritureEnLots::Tampon()
{
    std::unique_lock<std::mutex> verrou(m_Verrou);
    m_Signal.wait(verrou, [this] { return m_Echec || !m_Libres.empty(); });
    if (m_Echec)
        return nullptr;
    Bitmap* tampon = m_Libres.back();
    m_Libres.pop_back();
    return tampon;
}

bool JpegEcritureEnLots::Donne(Bitmap* rows, int count)
{
    if (!m_Fil.joinable()) {
        m_Echec = m_Echec || !Encode({rows, count, false});
        m_Libres.push_back(rows);
        return !m_Echec;
    }
    {
        std::lock_guard<std::mutex> verrou(m_Verrou);
        if (m_Echec)
            return false;
        m_File.push_back({rows, count, false});
    }
    m_Signal.notify_all();
    return true;
}

bool JpegEcritureEnLots::Donne(std::unique_ptr<Bitmap> band)
{
    if (!m_Fil.joinable()) {
        m_Echec = m_Echec || !Encode({band.get(), band->height(), true});
        return !m_Echec;
    }
    {
        std::lock_guard<std::mutex> verrou(m_Verrou);
        if (m_Echec)
            return false;
        const int count = band->height();
        m_File.push_back({band.release(), count, true});
    }
    m_Signal.notify_all();
    return true;
}

bool JpegEcritureEnLots::Termine()
{
    Arrete();
    return !m_Echec;
}

bool JpegEcritureEnLots::Encode(const Lot& lot)
{
    for (int fait = 0; fait < lot.count;) {
        const int n = std::min(kLignes, lot.count - fait);
        JSAMPROW rows[kLignes];
        for (int i = 0; i < n; ++i)
            rows[i] = lot.rows->row(fait + i);
        if (!m_Ecriture.EcritLignes(rows, static_cast<JDIMENSION>(n)))
            return false;
        fait += n;
    }
    return true;
}

void JpegEcritureEnLots::Travaille()
{
    for (;;) {
        Lot lot{};
        bool echec = false;
        {
            std::unique_lock<std::mutex> verrou(m_Verrou);
            m_Signal.wait(verrou, [this] { return m_Fin || !m_File.empty(); });
            if (m_File.empty())
                return;
            lot = m_File.front();
            m_File.pop_front();
            echec = m_Echec;
        }
        // The library's calls stay on this thread until it ends.
        const bool ecrit = !echec && Encode(lot);
        {
            std::lock_guard<std::mutex> verrou(m_Verrou);
            m_Echec = m_Echec || !ecrit;
            if (lot.owned)
                delete lot.rows;
            else
                m_Libres.push_back(lot.rows);
        }
        m_Signal.notify_all();
    }
}
