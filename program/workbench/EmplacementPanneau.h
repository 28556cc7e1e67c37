#pragma once
// A signature panel keeps its placement record as radio buttons (the check
// states are the settings) and four numbers; these read and write it as one
// record. Works for any panel with the record's member names.

#include "CRoutine.h"
#include "Emplacement.h"

// A check state as a setting: 1 checked, 0 otherwise (no button: 0).
inline int EtatBouton(QAbstractButton* bouton)
{
    int etat = 0;
    CRoutine::LireEtatBouton(bouton, &etat);
    return etat;
}

template <class Panneau>
Emplacement LitEmplacementPanneau(const Panneau& panneau)
{
    Emplacement e;
    e.PositionAutomatique = EtatBouton(panneau.PositionAutomatique);
    e.PositionAbsolue = EtatBouton(panneau.PositionAbsolue);
    e.PositionAutomatiqueHaut = EtatBouton(panneau.PositionAutomatiqueHaut);
    e.PositionAutomatiqueBas = EtatBouton(panneau.PositionAutomatiqueBas);
    e.PositionAutomatiqueDroite = EtatBouton(panneau.PositionAutomatiqueDroite);
    e.PositionAutomatiqueGauche = EtatBouton(panneau.PositionAutomatiqueGauche);
    e.PositionAutomatiqueContinue = EtatBouton(panneau.PositionAutomatiqueContinue);
    e.PositionAutomatiqueDeltaX = panneau.PositionAutomatiqueDeltaX;
    e.PositionAutomatiqueDeltaY = panneau.PositionAutomatiqueDeltaY;
    e.PositionAbsolueX = panneau.PositionAbsolueX;
    e.PositionAbsolueY = panneau.PositionAbsolueY;
    return e;
}

// Members and check states only; the caller transfers them into the edits.
template <class Panneau>
void FixeEmplacementPanneau(Panneau& panneau, const Emplacement& e)
{
    CRoutine::FixeEtatBouton(panneau.PositionAutomatique, e.PositionAutomatique);
    CRoutine::FixeEtatBouton(panneau.PositionAbsolue, e.PositionAbsolue);
    CRoutine::FixeEtatBouton(panneau.PositionAutomatiqueHaut, e.PositionAutomatiqueHaut);
    CRoutine::FixeEtatBouton(panneau.PositionAutomatiqueBas, e.PositionAutomatiqueBas);
    CRoutine::FixeEtatBouton(panneau.PositionAutomatiqueDroite, e.PositionAutomatiqueDroite);
    CRoutine::FixeEtatBouton(panneau.PositionAutomatiqueGauche, e.PositionAutomatiqueGauche);
    CRoutine::FixeEtatBouton(panneau.PositionAutomatiqueContinue, e.PositionAutomatiqueContinue);
    panneau.PositionAutomatiqueDeltaX = e.PositionAutomatiqueDeltaX;
    panneau.PositionAutomatiqueDeltaY = e.PositionAutomatiqueDeltaY;
    panneau.PositionAbsolueX = e.PositionAbsolueX;
    panneau.PositionAbsolueY = e.PositionAbsolueY;
}
