#include "JpegErreur.h"

#include "Interaction.h"

#include <cstddef>
#include <type_traits>

static_assert(std::is_standard_layout_v<JpegErreur> && std::is_trivially_destructible_v<JpegErreur>);

JpegErreur::JpegErreur(const char* caption) : m_titre(caption), m_message{}
{
    jpeg_std_error(&m_gestionnaire);
    m_gestionnaire.error_exit = &JpegErreur::SortieFatale;
    m_gestionnaire.output_message = &JpegErreur::AfficheAvertissement;
}

void JpegErreur::AfficheFatale() const { MessageBox(nullptr, m_message, m_titre, MB_OK | MB_ICONERROR); }

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

void JpegErreur::AfficheAvertissement(j_common_ptr info)
{
    char texte[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, texte);
    // Called from inside the library: nothing may unwind through its frames.
    try {
        MessageBox(GetActiveWindow(), texte, "JPEG Error", MB_OK);
    } catch (...) {
    }
}
