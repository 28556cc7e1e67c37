#include "RessourcesProgramme.h"

#include "Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must not be used inside a namespace.
static void InitialiseRessourcesProgramme() { Q_INIT_RESOURCE(program); }

void RessourcesProgramme::Enregistre()
{
    static const bool enregistrees = [] {
        InitialiseRessourcesProgramme();
        Resources::registerStrings(ResourceModule::Program, ":/tamparo2/strings.txt");
        Resources::registerStrings(ResourceModule::Framework, ":/tamparo2/framework.txt");
        return true;
    }();
    (void)enregistrees;
}
