// Feeds arbitrary bytes to the signing-template reader.

#include "ModeleSignature.h"
#include "SilentInteraction.h"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentInteraction silent;
    Interaction::install(&silent);
    ModeleSignature modele;
    CArchive archive(std::span<const BYTE>(data, size));
    modele.Lit(archive);
    // Whatever was read writes back as a template that reads back the same.
    CArchive out;
    modele.Ecrit(out);
    CArchive again(out.Bytes());
    ModeleSignature copie;
    if (out.Failed() || copie.Lit(again) != ModeleSignature::Lecture::Complete)
        __builtin_trap();
    CArchive check;
    copie.Ecrit(check);
    if (check.Bytes() != out.Bytes())
        __builtin_trap();
    return 0;
}
