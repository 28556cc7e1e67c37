#include "JpegEcriture.h"

#include "Metadonnees.h"

#include <cstring>

#include <jerror.h>

JpegEcriture::JpegEcriture(const char* fatalCaption, RapportCodec& rapport) : m_erreur(fatalCaption, rapport)
{
    // Zeroed, so that releasing a compressor whose creation failed is safe.
    std::memset(&m_info, 0, sizeof m_info);
}

JpegEcriture::~JpegEcriture() { jpeg_destroy_compress(&m_info); }

void JpegEcriture::Cree(std::FILE* sortie)
{
    m_info.err = m_erreur.Gestionnaire();
    jpeg_create_compress(&m_info);
    jpeg_stdio_dest(&m_info, sortie);
    m_sortie = sortie;
}

bool JpegEcriture::Demarre(std::FILE* sortie, JDIMENSION width, JDIMENSION height, int components,
                           J_COLOR_SPACE space, int quality)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    Cree(sortie);
    m_info.image_width = width;
    m_info.image_height = height;
    m_info.input_components = components;
    // The defaults depend on the input colour space: set it first.
    m_info.in_color_space = space;
    jpeg_set_defaults(&m_info);
    jpeg_set_quality(&m_info, quality, TRUE);
    jpeg_start_compress(&m_info, TRUE);
    return true;
}

bool JpegEcriture::DemarreCopie(std::FILE* sortie, jpeg_decompress_struct& source, jvirt_barray_ptr* coefficients,
                                bool optimise)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    Cree(sortie);
    jpeg_copy_critical_parameters(&source, &m_info);
    m_info.restart_interval = source.restart_interval;
    m_info.arith_code = source.arith_code;
    m_info.optimize_coding = optimise && !source.arith_code ? TRUE : FALSE;
    if (source.progressive_mode)
        jpeg_simple_progression(&m_info);
    jpeg_write_coefficients(&m_info, coefficients);
    return true;
}

bool JpegEcriture::EcritMetadonnees(const Metadonnees& metadonnees)
{
    return EcritMarqueurs(metadonnees, metadonnees.ProfilICC());
}

bool JpegEcriture::EcritMarqueurs(const Metadonnees& metadonnees, const std::vector<std::uint8_t>& profil)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    bool profilEcrit = false;
    for (const Metadonnees::Marqueur& m : metadonnees.Marqueurs()) {
        if (Metadonnees::EstMorceauICC(m)) {
            // Chunks that do not make one profile are left out.
            if (!profilEcrit && !profil.empty())
                jpeg_write_icc_profile(&m_info, profil.data(), static_cast<unsigned>(profil.size()));
            profilEcrit = true;
        } else if (m.octets.size() <= Metadonnees::kTailleMarqueur) {
            jpeg_write_marker(&m_info, m.code, m.octets.data(), static_cast<unsigned>(m.octets.size()));
        }
    }
    return true;
}

JSAMPARRAY JpegEcriture::AlloueLignes(JDIMENSION samples, JDIMENSION rows)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return nullptr;
    }
    return (*m_info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&m_info), JPOOL_IMAGE, samples, rows);
}

bool JpegEcriture::EcritLignes(JSAMPARRAY rows, JDIMENSION count)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    return jpeg_write_scanlines(&m_info, rows, count) == count;
}

bool JpegEcriture::GardeTablesHuffman(const jpeg_decompress_struct& source)
{
    for (int c = 0; c < source.num_components; ++c) {
        const jpeg_component_info& lue = source.comp_info[c];
        jpeg_component_info& ecrite = m_info.comp_info[c];
        if (lue.dc_tbl_no > 1 || lue.ac_tbl_no > 1 || !source.dc_huff_tbl_ptrs[lue.dc_tbl_no]
            || !source.ac_huff_tbl_ptrs[lue.ac_tbl_no])
            return false;
        ecrite.dc_tbl_no = lue.dc_tbl_no;
        ecrite.ac_tbl_no = lue.ac_tbl_no;
    }
    // The defaults fill slots 0 and 1 of both kinds.
    for (int n = 0; n < 2; ++n) {
        if (source.dc_huff_tbl_ptrs[n])
            *m_info.dc_huff_tbl_ptrs[n] = *source.dc_huff_tbl_ptrs[n];
        if (source.ac_huff_tbl_ptrs[n])
            *m_info.ac_huff_tbl_ptrs[n] = *source.ac_huff_tbl_ptrs[n];
        m_info.dc_huff_tbl_ptrs[n]->sent_table = FALSE;
        m_info.ac_huff_tbl_ptrs[n]->sent_table = FALSE;
    }
    return true;
}

bool JpegEcriture::TermineAvec(const std::vector<std::uint8_t>& donnees)
{
    if (setjmp(m_erreur.Reprise())) {
        if (!m_EntetesEcrites) {
            m_erreur.NoteFatale();
            return false;
        }
        m_EntetesEcrites = false;
        return EcritDonnees(donnees);
    }
    m_info.client_data = this;
    m_info.mem->access_virt_barray = &JpegEcriture::ArreteAuxLignes;
    jpeg_finish_compress(&m_info);
    return false;
}

bool JpegEcriture::EcritDonnees(const std::vector<std::uint8_t>& donnees)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    (*m_info.dest->term_destination)(&m_info);
    // In one piece, and told as the library's destination tells a failure.
    if (std::fwrite(donnees.data(), 1, donnees.size(), m_sortie) != donnees.size() || std::fflush(m_sortie) != 0)
        ERREXIT(&m_info, JERR_FILE_WRITE);
    return true;
}

JBLOCKARRAY JpegEcriture::ArreteAuxLignes(j_common_ptr info, jvirt_barray_ptr, JDIMENSION, JDIMENSION, boolean)
{
    static_cast<JpegEcriture*>(info->client_data)->m_EntetesEcrites = true;
    JpegErreur::Abandonne(info, "");
}

bool JpegEcriture::Termine()
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    jpeg_finish_compress(&m_info);
    return true;
}
