#include "Commandes.h"

namespace Commande {

const std::vector<Menu>& Menus()
{
    static const std::vector<Menu> menus = {
        {"&File",
         {{Nouveau, "New"},
          {0, nullptr},
          {Ouvrir, "Open Template"},
          {Enregistrer, "Save Template"},
          {EnregistrerSous, "Save Template As..."},
          {0, nullptr},
          {Quitter, "Exit"}}},
        {"&List", {{ListeSelection, "Selection"}, {0, nullptr}, {ListeSupprimeSelection, "Delete Selected"},
                   {ListeSupprimeTout, "Delete All"}}},
        {"&Signing", {{SignatureTexte, "Text"}, {SignatureLogo, "Logo"}, {0, nullptr},
                      {SupprimeTexte, "Delete Text"}, {SupprimeLogo, "Delete Logo"}}},
        {"Generate", {{AfficheSelection, "Display Selected File"}, {SigneTout, "Sign All Files"}}},
        {"&?", {{ManuelAide, "Help Manuel"}, {Web, "Web"}, {0, nullptr}, {APropos, "&About Tamparo2..."}}},
    };
    return menus;
}

const std::vector<Raccourci>& Raccourcis()
{
    static const std::vector<Raccourci> raccourcis = {
        {"Ctrl+N", Nouveau},        {"Ctrl+O", Ouvrir},          {"Ctrl+S", Enregistrer},
        {"Ctrl+Z", Annuler},        {"Alt+Backspace", Annuler},  {"Ctrl+X", Couper},
        {"Shift+Del", Couper},      {"Ctrl+C", Copier},          {"Ctrl+Ins", Copier},
        {"Ctrl+V", Coller},         {"Shift+Ins", Coller},       {"F6", PanneauSuivant},
        {"Shift+F6", PanneauPrecedent},
        // The run and the manual, where desktop programs put them.
        {"F9", SigneTout},          {"F1", ManuelAide},
    };
    return raccourcis;
}

} // namespace Commande
