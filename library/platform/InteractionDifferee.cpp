#include "InteractionDifferee.h"

int InteractionDifferee::messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    m_Annonces.push_back({false, text, caption, type});
    return SilentInteraction::messageBox(owner, text, caption, type);
}

void InteractionDifferee::beep(UINT type) { m_Annonces.push_back({true, {}, {}, type}); }

void InteractionDifferee::Rejoue()
{
    for (const Annonce& annonce : m_Annonces) {
        if (annonce.Bip)
            MessageBeep(annonce.Type);
        else
            MessageBox(GetActiveWindow(), annonce.Texte, annonce.Titre, annonce.Type);
    }
    m_Annonces.clear();
}

InteractionDifferee::Ecoute::Ecoute(InteractionDifferee& interaction)
    : m_Precedente(Interaction::installForThread(&interaction))
{
}

InteractionDifferee::Ecoute::~Ecoute() { Interaction::installForThread(m_Precedente); }
