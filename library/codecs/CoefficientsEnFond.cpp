#include "CoefficientsEnFond.h"

#include "JpegErreur.h"
#include "JpegLecture.h"

#include <algorithm>

namespace {

// The reading this thread does; the library's callbacks on it find it here.
thread_local CoefficientsEnFond* tl_Lecture = nullptr;

constexpr const char* kAbandon = "JPEG reading given up";
constexpr const char* kLectureEchouee = "JPEG source could not be read";

} // namespace

bool CoefficientsEnFond::Possible(const jpeg_decompress_struct& info)
{
    return !info.progressive_mode && info.comps_in_scan == info.num_components;
}

CoefficientsEnFond::CoefficientsEnFond(JpegLecture& lecture)
    : m_Lecture(lecture), m_Info(lecture.Info()), m_DemandeBibliotheque(m_Info.mem->request_virt_barray),
      m_AccesBibliotheque(m_Info.mem->access_virt_barray)
{
    m_RapportFil.RefuseDommage(lecture.Rapport().RefuseDommage());
}

CoefficientsEnFond::~CoefficientsEnFond()
{
    if (m_Fil.joinable()) {
        RapportCodec ignore;
        Abandonne(ignore);
    }
}

jvirt_barray_ptr* CoefficientsEnFond::Demarre()
{
    m_Info.mem->request_virt_barray = &CoefficientsEnFond::DemandeTableau;
    m_Info.mem->access_virt_barray = &CoefficientsEnFond::AccesDecodeur;
    m_Lecture.Rapporte(m_RapportFil);
    m_Fil = std::thread(&CoefficientsEnFond::Lit, this);
    std::unique_lock verrou(m_Verrou);
    m_Signal.wait(verrou, [this] { return m_Pret || m_Fin; });
    return m_Pret ? m_Tableaux.data() : nullptr;
}

void CoefficientsEnFond::Poursuit(jpeg_compress_struct& encodeur, Avant avant)
{
    m_Avant = std::move(avant);
    encodeur.client_data = this;
    encodeur.mem->access_virt_barray = &CoefficientsEnFond::AccesEncodeur;
    {
        std::lock_guard verrou(m_Verrou);
        m_Poursuit = true;
    }
    m_Signal.notify_all();
}

bool CoefficientsEnFond::Attend(int lignes)
{
    std::unique_lock verrou(m_Verrou);
    m_Signal.wait(verrou, [&] { return m_Lues >= lignes || m_Fin || m_Arret; });
    return m_Lues >= lignes && !m_Arret;
}

bool CoefficientsEnFond::Termine(RapportCodec& rapport)
{
    m_Fil.join();
    Rejoint(rapport);
    rapport.Reprend(m_RapportFil);
    return m_Reussi;
}

void CoefficientsEnFond::Abandonne(RapportCodec& rapport)
{
    {
        std::lock_guard verrou(m_Verrou);
        m_Arret = true;
        m_Poursuit = true;
    }
    m_Signal.notify_all();
    m_Fil.join();
    Rejoint(rapport);
}

void CoefficientsEnFond::Rejoint(RapportCodec& rapport)
{
    m_Info.mem->request_virt_barray = m_DemandeBibliotheque;
    m_Info.mem->access_virt_barray = m_AccesBibliotheque;
    m_Lecture.Rapporte(rapport);
}

void CoefficientsEnFond::Lit()
{
    tl_Lecture = this;
    const bool lu = m_Lecture.LitCoefficients() != nullptr;
    {
        std::lock_guard verrou(m_Verrou);
        m_Fin = true;
        m_Reussi = lu && !m_Arret;
        if (m_Reussi)
            m_Lues = int(m_Info.total_iMCU_rows);
    }
    m_Signal.notify_all();
    tl_Lecture = nullptr;
}

int CoefficientsEnFond::Composante(jvirt_barray_ptr tableau) const
{
    return int(std::find(m_Tableaux.begin(), m_Tableaux.end(), tableau) - m_Tableaux.begin());
}

bool CoefficientsEnFond::Avance(int ligne)
{
    std::unique_lock verrou(m_Verrou);
    if (!m_Pret) {
        m_Pret = true;
        m_Signal.notify_all();
        m_Signal.wait(verrou, [this] { return m_Poursuit; });
    }
    m_Lues = ligne;
    verrou.unlock();
    m_Signal.notify_all();
    return !m_Arret;
}

jvirt_barray_ptr CoefficientsEnFond::DemandeTableau(j_common_ptr info, int pool, boolean zero, JDIMENSION largeur,
                                                   JDIMENSION hauteur, JDIMENSION acces)
{
    CoefficientsEnFond& lecture = *tl_Lecture;
    jvirt_barray_ptr tableau = (*lecture.m_DemandeBibliotheque)(info, pool, zero, largeur, hauteur, acces);
    // The decoder asks for one array per component, in their order.
    lecture.m_Tableaux.push_back(tableau);
    lecture.m_Rangees.emplace_back(hauteur, nullptr);
    return tableau;
}

JBLOCKARRAY CoefficientsEnFond::AccesDecodeur(j_common_ptr info, jvirt_barray_ptr tableau, JDIMENSION debut,
                                             JDIMENSION nombre, boolean ecrit)
{
    CoefficientsEnFond& lecture = *tl_Lecture;
    const int c = lecture.Composante(tableau);
    const int facteur = lecture.m_Info.comp_info[c].v_samp_factor;
    // The decoder takes every component's rows at the start of an iMCU
    // row: reaching the first component's means the row before is whole.
    if (c == 0 && !lecture.Avance(int(debut) / facteur))
        JpegErreur::Abandonne(info, kAbandon);
    JBLOCKARRAY rangees = (*lecture.m_AccesBibliotheque)(info, tableau, debut, nombre, ecrit);
    std::copy_n(rangees, nombre, lecture.m_Rangees[std::size_t(c)].begin() + debut);
    return rangees;
}

JBLOCKARRAY CoefficientsEnFond::AccesEncodeur(j_common_ptr info, jvirt_barray_ptr tableau, JDIMENSION debut,
                                             JDIMENSION nombre, boolean /*ecrit*/)
{
    auto& lecture = *static_cast<CoefficientsEnFond*>(info->client_data);
    const int c = lecture.Composante(tableau);
    const int facteur = lecture.m_Info.comp_info[c].v_samp_factor;
    const int ligne = int(debut) / facteur;
    // Nothing here has a destructor: the jumps below leave no object behind.
    if (!lecture.m_Avant(ligne))
        JpegErreur::Abandonne(info, kAbandon);
    if (!lecture.Attend(int(debut + nombre + JDIMENSION(facteur) - 1) / facteur))
        JpegErreur::Abandonne(info, kLectureEchouee);
    return lecture.m_Rangees[std::size_t(c)].data() + debut;
}
