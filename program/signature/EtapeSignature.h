#pragma once
// The one signing step, without widgets: from the template settings, a
// source path and the output path its run has named (NomSortie, stateful,
// on the run's own thread), the picture, both layers composed onto it and
// the atomic save. The desktop run and the command line sign through
// it, so both write the same bytes. One object per thread: it owns its
// toolbox, its font and its logo. What its readers and writers have to say
// is kept in its report, shown by nobody until the caller takes it; only
// Sauve, called where the desktop shows boxes, speaks at once.

#include "CGraphique.h"
#include "Composition.h"
#include "MemoireSignature.h"
#include "ModeleSignature.h"
#include "codecs/RapportCodec.h"
#include "ReservePixels.h"

#include <cstdint>
#include <string>
#include <utility>

class EtapeSignature {
public:
    enum class Resultat {
        Signe,
        EchecChargement, // the loader has said why in the report
        EchecEcriture    // nothing was written over the output
    };

    // A relative logo path is taken from dossierLogo when one is given (the
    // template's folder), from the current folder otherwise, as the desktop
    // does. A logo file that is not there signs without a logo, as the logo
    // panel shows it; a damaged one leaves the loader's messages in the report.
    explicit EtapeSignature(const ModeleSignature& reglages, const std::string& dossierLogo = {});
    ~EtapeSignature();
    EtapeSignature(const EtapeSignature&) = delete;
    EtapeSignature& operator=(const EtapeSignature&) = delete;


    // The steps one by one, for a caller that reports between them.
    // The picture to sign, owned by the caller; null when it did not load.
    HBITMAP Charge(const CString& source);
    // Both layers onto the picture itself, the text's tokens replaced for
    // the picture last loaded, numero being its place in the run.
    void Signe(HBITMAP image, int numero = 1) const;
    // The signed picture into sortie, replacing a file there only once the
    // new one is complete; 1 when written. What the writer says is shown at
    // once, through the calling thread's Interaction.
    int Sauve(const CString& sortie, HBITMAP image);
    // Sauve for the desktop run, which has loaded and signed image from
    // source: with the original's quality kept, a JPEG written as JPEG is
    // signed again from its file block by block, so the desktop writes the
    // bytes the command line writes.
    int SauveSignee(const CString& source, const CString& sortie, HBITMAP image, int numero);
    // Takes back a picture the caller is done with (instead of deleting
    // it): its memory serves the next picture Charge loads.
    void Rend(HBITMAP image) { m_Reserve.Keep(image); }

    // All three for one picture. With the original's quality kept, a JPEG
    // written as JPEG has only the blocks under the signature encoded again;
    // otherwise a JPEG written as JPEG with no turn is streamed in bands of
    // rows, to the same bytes as the whole-picture way. A picture to make
    // smaller always takes the whole-picture way.
    Resultat Traite(const CString& source, const CString& sortie, int numero = 1);

    // A streamed picture is encoded on a second thread while it is decoded:
    // for a run that leaves a core free for each of its workers.
    void EncodeAPart(bool oui) { m_EncodeAPart = oui; }

    // The settings name a logo that could not be loaded.
    bool LogoManquant() const { return m_LogoManquant; }

    // What the step has reported since the last call, in order; the step's
    // report is left empty.
    RapportCodec PrendRapport() { return std::exchange(m_Rapport, RapportCodec()); }
    // Until the report is taken, a damaged picture fails rather than signs.
    void RefuseDommage(bool oui) { m_Rapport.RefuseDommage(oui); }

    // Working memory of one picture of that size in this step, in bytes:
    // the 32-bit picture and the writer's full-size copy (BMP rows, GIF
    // indices), or the block way's coefficients when more, with the encoded
    // file held by the BMP and GIF readers.
    static std::uint64_t MemoireDeTravail(std::uint64_t largeur, std::uint64_t hauteur, std::uint64_t tailleFichier);

private:
    // The text layer with its tokens replaced for the picture last loaded.
    CoucheTexte TextePour(CSize taille, int numero) const;
    // What a picture read piece by piece is signed with, known only once the
    // reader has its header: its size and what it carries.
    struct SignatureEnPieces {
        CSize Taille;
        CoucheTexte Texte;
    };
    // The block way's and the streamed way's first step for each picture.
    SignatureEnPieces PourPieces(CSize taille, int numero) const;
    // The one way pictures are read and written here.
    HBITMAP LitImage(const CString& chemin);
    int EcritImage(const CString& chemin, HBITMAP image, RapportCodec& rapport);
    // The block way, or Inapplicable when the template keeps the number or
    // the source or the output is not a JPEG.
    CGraphique::Flux ParBlocs(const CString& source, const CString& sortie, int numero, RapportCodec& rapport);
    // The streamed way, or Inapplicable when it does not apply.
    CGraphique::Flux EnBandes(const CString& source, const CString& sortie, int numero);

    int m_Qualite;
    bool m_QualiteOrigine;
    // Pictures made smaller are loaded whole: neither the block way nor
    // the streamed way can change a picture's size.
    RegleTaille m_Redimension;
    PolitiqueMetadonnees m_Politique;
    // What the picture being signed carries, from Charge to Sauve.
    Metadonnees m_Metadonnees;
    CGraphique m_Graphique;
    CoucheTexte m_Texte;
    CString m_Source; // the picture last loaded, for the text's tokens
    CoucheLogo m_CoucheLogo;
    // The signature's font, text and logo as the last picture had them.
    mutable MemoireSignature m_Memoire;
    bool m_LogoManquant = false;
    ReservePixels m_Reserve;
    bool m_EncodeAPart = false;
    RapportCodec m_Rapport;
};
