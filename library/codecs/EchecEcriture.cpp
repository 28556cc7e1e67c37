#include "EchecEcriture.h"

#include "AtomicFile.h"
#include "RapportCodec.h"

void EchecEcriture::Signale(RapportCodec* rapport, const CString& path, const std::string& cause)
{
    if (rapport)
        rapport->Ajoute("Unable to write " + path + ": " + cause + ".", "Error", MB_OK | MB_ICONERROR,
                        RapportCodec::Boite::Libre);
}

void EchecEcriture::Signale(RapportCodec* rapport, const CString& path, const AtomicFile& fichier)
{
    const std::string cause = fichier.Cause();
    Signale(rapport, path, cause.empty() ? "the picture could not be encoded" : cause);
}

std::string EchecEcriture::QualiteHorsLimites(int quality)
{
    return "quality " + std::to_string(quality) + " is outside 0-100";
}
