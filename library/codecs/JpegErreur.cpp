#include "JpegErreur.h"

#include "RapportCodec.h"

#include <cstddef>
#include <type_traits>

static_assert(std::is_standard_layout_v<JpegErreur> && std::is_trivially_destructible_v<JpegErreur>);

JpegErreur::JpegErreur(const char* caption, RapportCodec& rapport) : m_titre(caption), m_rapport(&rapport), m_message{}
{
    jpeg_std_error(&m_gestionnaire);
    m_gestionnaire.error_exit = &JpegErreur::SortieFatale;
    m_gestionnaire.output_message = &JpegErreur::NoteAvertissement;
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
