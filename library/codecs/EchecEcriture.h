#pragma once
// The message of a picture that could not be written, naming why: a writer
// records it in its report, which the public entry points show.

#include "Types.h"

#include <string>

class AtomicFile;
class RapportCodec;

class EchecEcriture {
public:
    // "Unable to write <path>: <cause>." into rapport when there is one.
    static void Signale(RapportCodec* rapport, const CString& path, const std::string& cause);
    // The same with the safe write's own cause, or a general one when it has none.
    static void Signale(RapportCodec* rapport, const CString& path, const AtomicFile& fichier);
    static std::string QualiteHorsLimites(int quality);
};
