#include "Budget.h"

Budget::Budget(Limites limites) : m_limites(limites) {}

void Budget::Debute(std::uint64_t travailPermis)
{
    m_tenus = 0;
    m_travail = 0;
    m_travailPermis = travailPermis;
    m_motif = Refus::Aucun;
}

std::uint64_t Budget::Permis(std::uint64_t offert, std::uint64_t parOctet, std::uint64_t octets)
{
    if (parOctet != 0 && octets > (UINT64_MAX - offert) / parOctet)
        return UINT64_MAX;
    return offert + parOctet * octets;
}

bool Budget::AdmetPixels(std::uint64_t largeur, std::uint64_t hauteur)
{
    // Either side alone beyond the limit also keeps the product from overflowing.
    if (largeur > m_limites.pixels || hauteur > m_limites.pixels || largeur * hauteur > m_limites.pixels)
        return Refuse(Refus::Pixels);
    return true;
}

bool Budget::AdmetDonnees(std::uint64_t unites, std::uint64_t permis)
{
    return unites <= permis || Refuse(Refus::Donnees);
}

bool Budget::Reserve(std::uint64_t octets)
{
    if (octets > Disponible())
        return Refuse(Refus::Memoire);
    m_tenus += octets;
    if (m_tenus > m_pic)
        m_pic = m_tenus;
    return true;
}

bool Budget::Travaille(std::uint64_t unites)
{
    if (unites > m_travailPermis - m_travail)
        return Refuse(Refus::Travail);
    m_travail += unites;
    return true;
}

bool Budget::Refuse(Refus motif)
{
    m_motif = motif;
    return false;
}
