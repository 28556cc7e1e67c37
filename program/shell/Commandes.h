#pragma once
// Command ids of the menu, the accelerators and the tool bar, and the tables
// the main frame builds its menu and accelerators from.

#include "Types.h"

#include <vector>

namespace Commande {

// File
constexpr UINT Nouveau = 57600;
constexpr UINT Ouvrir = 57601;
constexpr UINT Enregistrer = 57603;
constexpr UINT EnregistrerSous = 57604;
constexpr UINT Quitter = 57665;
// List, Signing, Generate: the workbench view's
constexpr UINT ListeSelection = 32771;
constexpr UINT ListeSupprimeSelection = 32772;
constexpr UINT ListeSupprimeTout = 32773;
constexpr UINT SignatureTexte = 32774;
constexpr UINT SignatureLogo = 32775;
constexpr UINT AfficheSelection = 32776;
constexpr UINT SigneTout = 32777;
constexpr UINT SupprimeTexte = 32781;
constexpr UINT SupprimeLogo = 32782;
// ?
constexpr UINT ManuelAide = 32778;
constexpr UINT Web = 32780;
constexpr UINT APropos = 57664;
constexpr UINT Aide = 57670;
// Standard edit and pane keys: bound, handled by nobody
constexpr UINT Annuler = 57643;
constexpr UINT Couper = 57635;
constexpr UINT Copier = 57634;
constexpr UINT Coller = 57637;
constexpr UINT PanneauSuivant = 57680;
constexpr UINT PanneauPrecedent = 57681;

// Menu item: id 0 is a separator.
struct Article {
    UINT id;
    const char* texte;
};
struct Menu {
    const char* titre;
    std::vector<Article> articles;
};
const std::vector<Menu>& Menus();

// Accelerator table 105, keys as Qt writes them.
struct Raccourci {
    const char* touches;
    UINT id;
};
const std::vector<Raccourci>& Raccourcis();

} // namespace Commande
