#include "JpegErreur.h"

#include "RapportCodec.h"

#include <cstddef>
#include <type_traits>

#include <jerror.h>

static_assert(std::is_standard_layout_v<JpegErreur> && std::is_trivially_destructible_v<JpegErreur>);

namespace {

// The warnings of data the decoder had to patch over; the others (an
// unknown JFIF revision, an odd colour transform) leave the pixels whole.
bool EstDommage(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
#if defined(D_ARITH_CODING_SUPPORTED)
    case JWRN_ARITH_BAD_CODE:
#endif
        return true;
    default:
        return false;
    }
}

} // namespace

JpegErreur::JpegErreur(const char* caption, RapportCodec& rapport) : m_titre(caption), m_rapport(&rapport), m_message{}
{
    jpeg_std_error(&m_gestionnaire);
    m_gestionnaire.error_exit = &JpegErreur::SortieFatale;
    m_gestionnaire.output_message = &JpegErreur::NoteAvertissement;
    m_emetBibliotheque = m_gestionnaire.emit_message;
    m_gestionnaire.emit_message = &JpegErreur::Emet;
}

void JpegErreur::NoteFatale() const
{
    m_rapport->Ajoute(m_message, m_titre, MB_OK | MB_ICONERROR, RapportCodec::Boite::Libre);
}

void JpegErreur::SortieFatale(j_common_ptr info)
{
    static_assert(offsetof(JpegErreur, m_gestionnaire) == 0);
    auto* erreur = reinterpret_cast<JpegErreur*>(info->err);
    (*info->err->format_message)(info, erreur->m_message);
    std::longjmp(erreur->m_reprise, 1);
}

void JpegErreur::Abandonne(j_common_ptr info, const char* text)
{
    auto* erreur = reinterpret_cast<JpegErreur*>(info->err);
    std::snprintf(erreur->m_message, sizeof erreur->m_message, "%s", text);
    std::longjmp(erreur->m_reprise, 1);
}

void JpegErreur::NoteAvertissement(j_common_ptr info)
{
    // Called from inside the library: Ajoute never throws through its frames.
    char texte[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, texte);
    reinterpret_cast<JpegErreur*>(info->err)->m_rapport->Ajoute(texte, "JPEG Error", MB_OK,
                                                                RapportCodec::Boite::FenetreActive);
}

void JpegErreur::Emet(j_common_ptr info, int niveau)
{
    auto* erreur = reinterpret_cast<JpegErreur*>(info->err);
    if (niveau < 0 && EstDommage(info->err->msg_code)) {
        char texte[JMSG_LENGTH_MAX];
        (*info->err->format_message)(info, texte);
        erreur->m_rapport->NoteDommage(texte);
        if (erreur->m_rapport->RefuseDommage())
            Abandonne(info, texte);
    }
    // The library's own policy: the first warning of a picture is shown.
    erreur->m_emetBibliotheque(info, niveau);
}
