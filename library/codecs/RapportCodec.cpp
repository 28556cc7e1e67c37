#include "RapportCodec.h"

#include <iterator>
#include <new>

void RapportCodec::Ajoute(std::string_view texte, std::string_view titre, UINT type, Boite forme) noexcept
{
    try {
        m_Messages.push_back({std::string(texte), std::string(titre), type, forme});
    } catch (const std::bad_alloc&) {
    }
}

void RapportCodec::NoteDommage(std::string_view texte) noexcept
{
    if (!m_Dommage.empty())
        return;
    try {
        // A damage without words is still one.
        m_Dommage = texte.empty() ? std::string_view("damaged data") : texte;
    } catch (const std::bad_alloc&) {
    }
}

void RapportCodec::Reprend(RapportCodec& autre) noexcept
{
    if (!autre.m_Dommage.empty())
        NoteDommage(autre.m_Dommage);
    autre.m_Dommage.clear();
    if (m_Messages.empty()) {
        m_Messages.swap(autre.m_Messages);
        return;
    }
    try {
        m_Messages.insert(m_Messages.end(), std::make_move_iterator(autre.m_Messages.begin()),
                          std::make_move_iterator(autre.m_Messages.end()));
    } catch (const std::bad_alloc&) {
    }
    autre.m_Messages.clear();
}

void RapportCodec::Affiche()
{
    for (const Message& m : m_Messages) {
        switch (m.Forme) {
        case Boite::Libre:
            MessageBox(nullptr, m.Texte, m.Titre, m.Type);
            break;
        case Boite::FenetreActive:
            MessageBox(GetActiveWindow(), m.Texte, m.Titre, m.Type);
            break;
        case Boite::Application:
            AfxMessageBox(m.Texte, m.Type);
            break;
        }
    }
    m_Messages.clear();
}
