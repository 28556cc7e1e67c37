#include "CGraphique.h"

#include "AtomicFile.h"
#include "CRoutine.h"
#include "codecs/EchecEcriture.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"
#include "codecs/RegistreFormats.h"

#include <new>

namespace {

// A writer that refuses without a word (the JPEG one keeps the old entry
// points' silence) still leaves the signing run a reason to show: the
// quality, or what the safe write meets when it tries the name.
void ExpliqueEchec(const CString& path, int quality, RapportCodec& rapport)
{
    if (quality < 0 || quality > 100) {
        EchecEcriture::Signale(&rapport, path, EchecEcriture::QualiteHorsLimites(quality));
        return;
    }
    AtomicFile essai(path);
    if (!essai.open())
        EchecEcriture::Signale(&rapport, path, essai);
}

using Format = RegistreFormats::Format;

// What a file is read as: its content, or, when no sniffer knows it (a
// missing or damaged file), the last three characters of its name, so that
// such a file fails with its format's own messages.
const Format* FormatALire(const CString& path)
{
    const Format* format = RegistreFormats::ParContenu(path);
    return format ? format : RegistreFormats::ParFinDeNom(path);
}

bool EstJPEG(const Format* format) { return format && format->Id == RegistreFormats::Genre::Jpeg; }

void SignaleEchecChargement(RapportCodec& rapport)
{
    CString text;
    CString caption;
    rapport.Ajoute(CRoutine::Message(text, 11), CRoutine::Message(caption, 4), MB_OK | MB_ICONERROR,
                   RapportCodec::Boite::Libre);
}

HBITMAP Charge(CGraphique& graphique, const Format* format, const CString& path, std::vector<BYTE>* alpha,
               Metadonnees* metadonnees, RapportCodec& rapport)
{
    HBITMAP image =
        format ? format->Lit(graphique, path, alpha, metadonnees, graphique.BudgetLecture(), rapport) : nullptr;
    if (!image)
        SignaleEchecChargement(rapport);
    return image;
}

} // namespace

HBITMAP CGraphique::ChargeImage(CString path)
{
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return Charge(*this, FormatALire(path), path, nullptr, nullptr, rapport); });
}

HBITMAP CGraphique::ChargeImageAlpha(CString path, std::vector<BYTE>& alpha)
{
    return RapportCodec::AfficheApres([&](RapportCodec& rapport) { return ChargeImageAlpha(path, alpha, rapport); });
}

HBITMAP CGraphique::ChargeImageAlpha(CString path, std::vector<BYTE>& alpha, RapportCodec& rapport)
{
    alpha.clear();
    return Charge(*this, RegistreFormats::Logo(path), path, &alpha, nullptr, rapport);
}

int CGraphique::SauveImage(CString path, HBITMAP image, int quality)
{
    const Format* format = RegistreFormats::ParFinDeNom(path);
    return RapportCodec::AfficheApres([&](RapportCodec& rapport) {
        return format && format->Ecrit ? format->Ecrit(*this, path, image, quality, nullptr, rapport) : 0;
    });
}

HBITMAP CGraphique::ChargePhoto(CString path, Metadonnees& metadonnees, const RegleTaille& redimension)
{
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return ChargePhoto(path, metadonnees, rapport, redimension); });
}

HBITMAP CGraphique::ChargePhoto(CString path, Metadonnees& metadonnees, RapportCodec& rapport,
                                const RegleTaille& redimension)
{
    metadonnees.Efface();
    const Format* format = FormatALire(path);
    const bool porte = format && format->Metadonnees != RegistreFormats::Aucune;
    Metadonnees* portees = porte ? &metadonnees : nullptr;
    // Reduced before it is turned: the rule gives the same size either way.
    HBITMAP image = nullptr;
    if (!redimension.Active())
        image = Charge(*this, format, path, nullptr, portees, rapport);
    else if (EstJPEG(format)) {
        if (!(image = LitJPEG(path, portees, BudgetLecture(), rapport, &redimension)))
            SignaleEchecChargement(rapport);
    } else if ((image = Charge(*this, format, path, nullptr, portees, rapport))) {
        // The other formats have no cheaper way than the whole picture.
        CSize taille;
        RecupereInfosImage(image, taille, nullptr);
        if (!(image = Reduit(image, redimension.Cible(taille))))
            SignaleEchecChargement(rapport);
    }
    // A container that turned the pixels itself keeps an Orientation that
    // no longer applies; writing sets it to 1 in every case.
    if (const int orientation = metadonnees.Orientation(); image && !format->DejaRedresse && orientation != 1) {
        HBITMAP droite = RedresseImage(image, orientation);
        DeleteObject(image);
        image = droite;
        if (!image)
            SignaleEchecChargement(rapport);
    }
    return image;
}

HBITMAP CGraphique::Reduit(HBITMAP image, CSize taille)
{
    CSize actuelle;
    RecupereInfosImage(image, actuelle, nullptr);
    if (actuelle == taille)
        return image;
    HDC screen = GetDC(nullptr);
    HBITMAP reduite = RedimensionneImage(screen, image, taille, 0);
    ReleaseDC(nullptr, screen);
    DeleteObject(image);
    return reduite;
}

CGraphique::Flux CGraphique::RetouchePhotoEnFlux(CString source, CString sortie, int quality,
                                                  Metadonnees& metadonnees, PolitiqueMetadonnees politique,
                                                  const Bandes& bands, const Retouche& retouche,
                                                  bool encoderThread)
{
    return RapportCodec::AfficheApres([&](RapportCodec& rapport) {
        return RetouchePhotoEnFlux(source, sortie, quality, metadonnees, politique, bands, retouche, encoderThread,
                                   rapport);
    });
}

CGraphique::Flux CGraphique::RetouchePhotoEnFlux(CString source, CString sortie, int quality,
                                                  Metadonnees& metadonnees, PolitiqueMetadonnees politique,
                                                  const Bandes& bands, const Retouche& retouche,
                                                  bool encoderThread, RapportCodec& rapport)
{
    if (!EstJPEG(FormatALire(source)) || !EstJPEG(RegistreFormats::ParFinDeNom(sortie)) || quality < 0
        || quality > 100)
        return Flux::Inapplicable;
    const Flux flux = RetoucheJPEGEnFlux(source, sortie, quality, metadonnees, politique, bands, retouche,
                                         encoderThread, m_Budget, rapport);
    if (flux == Flux::EchecLecture)
        SignaleEchecChargement(rapport);
    return flux;
}

CGraphique::Flux CGraphique::RetouchePhotoParBlocs(CString source, CString sortie, Metadonnees& metadonnees,
                                                    PolitiqueMetadonnees politique, const JpegParBlocs::Zones& zones,
                                                    const JpegParBlocs::Dessine& dessine, bool encoderThread,
                                                    RapportCodec& rapport)
{
    if (!EstJPEG(FormatALire(source)) || !EstJPEG(RegistreFormats::ParFinDeNom(sortie)))
        return Flux::Inapplicable;
    switch (JpegParBlocs::Signe(source, sortie, metadonnees, politique, zones, dessine, encoderThread, m_Budget,
                                rapport)) {
    case JpegParBlocs::Issue::Ecrit:
        return Flux::Ecrit;
    case JpegParBlocs::Issue::EchecEcriture:
        return Flux::EchecEcriture;
    case JpegParBlocs::Issue::EchecLecture:
        break;
    }
    SignaleEchecChargement(rapport);
    return Flux::EchecLecture;
}

int CGraphique::SauvePhoto(CString path, HBITMAP image, int quality, const Metadonnees& metadonnees,
                           PolitiqueMetadonnees politique)
{
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return SauvePhoto(path, image, quality, metadonnees, politique, rapport); });
}

int CGraphique::SauvePhoto(CString path, HBITMAP image, int quality, const Metadonnees& metadonnees,
                           PolitiqueMetadonnees politique, RapportCodec& rapport)
{
    const Format* format = RegistreFormats::ParFinDeNom(path);
    if (!format || !format->Ecrit)
        return 0;
    const auto ecrit = [&]() -> int {
        if (!image || format->Metadonnees == RegistreFormats::Aucune)
            return format->Ecrit(*this, path, image, quality, nullptr, rapport);
        try {
            const Metadonnees ecrits = metadonnees.PourEcriture(politique, image->width(), image->height());
            return format->Ecrit(*this, path, image, quality, &ecrits, rapport);
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }();
    if (!ecrit && image && rapport.Messages().empty())
        ExpliqueEchec(path, quality, rapport);
    return ecrit;
}
