#include "JpegLecture.h"

#include "Metadonnees.h"
#include "RapportCodec.h"

#include <jerror.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <sys/stat.h>

namespace {

// Each scan of a progressive file passes over the whole picture again: a few
// bytes per scan could keep the decoder busy for hours. Real encoders write
// about ten.
constexpr int kMaxScans = 500;
constexpr const char* kTropDeScans = "Progressive JPEG image has more than 500 scans";

// What a file's bytes can stand for, in 8 x 8 blocks of one component.
// Huffman coding spends at least one bit per block in a progressive file's
// first DC scan and two (DC and end of block) in a sequential scan, so a
// whole file holds at most 8, or 4, blocks per byte. Damaged files (cut
// short, or with restart markers standing for missing data) get 2^20 blocks
// whatever their size: a 44-megapixel 4:2:0 photograph cut after its header
// still loads as before.
constexpr std::uint64_t kBlocsOfferts = std::uint64_t(1) << 20;
// The passes over those blocks: one per scan that covers them and the output
// pass. Real encoders write about ten scans, at least 2 bits per block for
// a flat picture; 64 passes per byte leaves room for any of them, and 2^24
// for a damaged one. A hostile file gets a fraction of a second.
constexpr std::uint64_t kTravailOffert = std::uint64_t(1) << 24;
constexpr std::uint64_t kTravailParOctet = 64;
constexpr const char* kTropDeTravail = "JPEG image asks for more decoding than its data can hold";

// The input buffer: the whole of a file up to kTampon.
constexpr std::uint64_t kTampon = std::uint64_t(1) << 18;
constexpr std::uint64_t kTamponMinimum = 4096;

std::uint64_t Arrondi(std::uint64_t n, std::uint64_t multiple) { return (n + multiple - 1) / multiple * multiple; }

} // namespace

JpegLecture::JpegLecture(RapportCodec& rapport, Budget& budget)
    : m_erreur("JPEG Fatal Error", rapport), m_budget(budget)
{
    // Zeroed, so that releasing a decompressor whose creation failed is safe.
    std::memset(&m_info, 0, sizeof m_info);
}

JpegLecture::~JpegLecture()
{
    jpeg_destroy_decompress(&m_info);
    if (m_fichier)
        std::fclose(m_fichier);
}

bool JpegLecture::Ouvre(const CString& path)
{
    m_fichier = std::fopen(path.c_str(), "rb");
    if (!m_fichier) {
        m_erreur.Rapport().Ajoute("JPEG :\nCan't open " + path + "\n", {}, MB_OK, RapportCodec::Boite::Application);
        return false;
    }
    struct stat etat {};
    m_tailleFichier = ::fstat(::fileno(m_fichier), &etat) == 0 ? static_cast<std::uint64_t>(etat.st_size) : 0;
    m_budget.Debute(Budget::Permis(kTravailOffert, kTravailParOctet, m_tailleFichier));
    try {
        m_tampon.resize(static_cast<std::size_t>(std::clamp(m_tailleFichier, kTamponMinimum, kTampon)));
    } catch (const std::bad_alloc&) {
        SignaleMemoire();
        return false;
    }
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    m_info.err = m_erreur.Gestionnaire();
    jpeg_create_decompress(&m_info);
    m_progression.progress_monitor = &JpegLecture::Surveille;
    m_info.progress = &m_progression;
    m_info.client_data = this;
    m_source.init_source = &JpegLecture::DebuteSource;
    m_source.fill_input_buffer = &JpegLecture::RemplitSource;
    m_source.skip_input_data = &JpegLecture::SauteSource;
    m_source.resync_to_restart = jpeg_resync_to_restart;
    m_source.term_source = &JpegLecture::TermineSource;
    m_info.src = &m_source;
    if (m_metadonnees) {
        // APP0 and APP14 stay with the library, which reads its colour
        // conventions from them.
        jpeg_set_marker_processor(&m_info, JPEG_COM, &JpegLecture::LitMarqueur);
        for (int n = 1; n <= 15; ++n)
            if (n != 14)
                jpeg_set_marker_processor(&m_info, JPEG_APP0 + n, &JpegLecture::LitMarqueur);
    }
    jpeg_read_header(&m_info, TRUE);
    return true;
}

bool JpegLecture::TailleAcceptable(int octetsParPixel)
{
    const std::uint64_t largeur = m_info.image_width;
    const std::uint64_t hauteur = m_info.image_height;
    if (!m_budget.AdmetPixels(largeur, hauteur))
        return false;
    // Progressive and non-interleaved files are read whole before the first
    // row comes out, into 64 coefficients of 2 bytes per block, each
    // component rounded up to whole MCUs.
    const bool tampon = m_info.progressive_mode || m_info.comps_in_scan < m_info.num_components;
    std::uint64_t blocs = 0;
    std::uint64_t coefficients = 0;
    for (int c = 0; c < m_info.num_components; ++c) {
        const jpeg_component_info& composante = m_info.comp_info[c];
        blocs += std::uint64_t(composante.width_in_blocks) * composante.height_in_blocks;
        if (tampon)
            coefficients += Arrondi(composante.width_in_blocks, composante.h_samp_factor)
                * Arrondi(composante.height_in_blocks, composante.v_samp_factor) * sizeof(JBLOCK);
    }
    const std::uint64_t blocsPermis =
        Budget::Permis(kBlocsOfferts, m_info.progressive_mode ? 8 : 4, m_tailleFichier);
    const std::uint64_t sortie = largeur * hauteur * static_cast<std::uint64_t>(octetsParPixel);
    if (!m_budget.AdmetDonnees(blocs, blocsPermis) || !m_budget.Reserve(sortie + coefficients)
        || !m_budget.Travaille(blocs))
        return false;
    // The library's own check of its whole-image buffers: it fails rather
    // than use more than the output rows leave.
    m_info.mem->max_memory_to_use =
        static_cast<long>(std::min<std::uint64_t>(m_budget.Disponible() + coefficients, LONG_MAX));
    return true;
}

bool JpegLecture::ReduitAuMoins(JDIMENSION largeur, JDIMENSION hauteur)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    // Only 1/8, 2/8, 4/8 and 8/8: the library has fast transforms for
    // those alone, and decodes at 6/8 in half as long again as at 8/8, at
    // 3/8 more slowly than at 4/8. 8/8 always fits: the full size is what
    // the caller reduces from.
    for (unsigned n = 1; n <= 8; n *= 2) {
        m_info.scale_num = n;
        m_info.scale_denom = 8;
        jpeg_calc_output_dimensions(&m_info);
        if (m_info.output_width >= largeur && m_info.output_height >= hauteur)
            break;
    }
    return true;
}

bool JpegLecture::Demarre()
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    jpeg_start_decompress(&m_info);
    return true;
}

JSAMPARRAY JpegLecture::AlloueLignes(JDIMENSION samples, JDIMENSION rows)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return nullptr;
    }
    return (*m_info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&m_info), JPOOL_IMAGE, samples, rows);
}

bool JpegLecture::LitLignes(JSAMPARRAY rows, JDIMENSION count, JDIMENSION& lues)
{
    lues = 0;
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    lues = jpeg_read_scanlines(&m_info, rows, count);
    return true;
}

bool JpegLecture::Termine()
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return false;
    }
    jpeg_finish_decompress(&m_info);
    return true;
}

jvirt_barray_ptr* JpegLecture::LitCoefficients()
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.NoteFatale();
        return nullptr;
    }
    const bool unBalayage = !m_info.progressive_mode && m_info.comps_in_scan == m_info.num_components;
    jvirt_barray_ptr* tableaux = jpeg_read_coefficients(&m_info);
    if (unBalayage || !tableaux)
        return tableaux;
    // A file cut short, or one whose scans leave a component out, leaves
    // rows no scan reached: they are made zeros (grey), in order, so that
    // writing into them later is no out-of-order access the library would
    // end with a fatal error outside any recovery point.
    for (int c = 0; c < m_info.num_components; ++c) {
        const jpeg_component_info& composante = m_info.comp_info[c];
        const auto pas = JDIMENSION(composante.v_samp_factor);
        const JDIMENSION lignes = JDIMENSION(Arrondi(composante.height_in_blocks, pas));
        for (JDIMENSION ligne = 0; ligne < lignes; ligne += pas)
            (*m_info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&m_info), tableaux[c], ligne, pas, TRUE);
    }
    return tableaux;
}

void JpegLecture::Surveille(j_common_ptr info)
{
    auto* decompression = reinterpret_cast<j_decompress_ptr>(info);
    if (decompression->input_scan_number > kMaxScans)
        JpegErreur::Abandonne(info, kTropDeScans);
    // Each scan is charged once, before its first row is decoded.
    auto* lecture = static_cast<JpegLecture*>(decompression->client_data);
    if (decompression->input_scan_number == lecture->m_dernierScan)
        return;
    lecture->m_dernierScan = decompression->input_scan_number;
    std::uint64_t blocs = 0;
    for (int i = 0; i < decompression->comps_in_scan; ++i) {
        const jpeg_component_info* composante = decompression->cur_comp_info[i];
        blocs += std::uint64_t(composante->width_in_blocks) * composante->height_in_blocks;
    }
    if (!lecture->m_budget.Travaille(blocs))
        JpegErreur::Abandonne(info, kTropDeTravail);
}

bool JpegLecture::LitDonnees(std::vector<std::uint8_t>& octets)
{
    const long position = std::ftell(m_fichier);
    if (position < 0 || std::uint64_t(position) > m_tailleFichier)
        return false;
    const std::size_t tenus = m_source.bytes_in_buffer;
    const std::uint64_t reste = m_tailleFichier - std::uint64_t(position);
    if (!m_budget.Reserve(tenus + reste))
        return false;
    try {
        octets.resize(tenus + std::size_t(reste));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (tenus)
        std::memcpy(octets.data(), m_source.next_input_byte, tenus);
    const std::size_t lus = std::fread(octets.data() + tenus, 1, std::size_t(reste), m_fichier);
    octets.resize(tenus + lus);
    // The decoding may still go on from where it was.
    return std::fseek(m_fichier, position, SEEK_SET) == 0;
}

void JpegLecture::DebuteSource(j_decompress_ptr info)
{
    static_cast<JpegLecture*>(info->client_data)->m_debutFichier = true;
}

boolean JpegLecture::RemplitSource(j_decompress_ptr info)
{
    auto* lecture = static_cast<JpegLecture*>(info->client_data);
    JOCTET* tampon = lecture->m_tampon.data();
    std::size_t lus = std::fread(tampon, 1, lecture->m_tampon.size(), lecture->m_fichier);
    if (lus == 0) {
        // What the library's file source does: an empty file is fatal, a
        // file cut short ends with a warning and a made-up end of image.
        if (lecture->m_debutFichier)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        tampon[0] = 0xFF;
        tampon[1] = JPEG_EOI;
        lus = 2;
    }
    lecture->m_source.next_input_byte = tampon;
    lecture->m_source.bytes_in_buffer = lus;
    lecture->m_debutFichier = false;
    return TRUE;
}

void JpegLecture::SauteSource(j_decompress_ptr info, long octets)
{
    if (octets <= 0)
        return;
    jpeg_source_mgr& source = *info->src;
    auto reste = static_cast<std::size_t>(octets);
    while (reste > source.bytes_in_buffer) {
        reste -= source.bytes_in_buffer;
        RemplitSource(info);
    }
    source.next_input_byte += reste;
    source.bytes_in_buffer -= reste;
}

void JpegLecture::TermineSource(j_decompress_ptr) {}

void JpegLecture::GardeMetadonnees(Metadonnees* metadonnees)
{
    m_metadonnees = metadonnees;
    m_marqueur.resize(metadonnees ? Metadonnees::kTailleMarqueur : 0);
}

boolean JpegLecture::LitMarqueur(j_decompress_ptr info)
{
    // Runs inside the library: nothing here owns memory a jump could leak.
    auto* lecture = static_cast<JpegLecture*>(info->client_data);
    jpeg_source_mgr* source = info->src;
    // The file source never suspends: at its end it supplies an EOI marker.
    const auto remplit = [&] {
        if (source->bytes_in_buffer == 0)
            (*source->fill_input_buffer)(info);
    };
    std::size_t longueur = 0;
    for (int i = 0; i < 2; ++i) {
        remplit();
        longueur = longueur << 8 | *source->next_input_byte++;
        --source->bytes_in_buffer;
    }
    const std::size_t taille = longueur > 2 ? longueur - 2 : 0;
    for (std::size_t lus = 0; lus < taille;) {
        remplit();
        const std::size_t n = std::min(taille - lus, source->bytes_in_buffer);
        std::memcpy(lecture->m_marqueur.data() + lus, source->next_input_byte, n);
        source->next_input_byte += n;
        source->bytes_in_buffer -= n;
        lus += n;
    }
    try {
        lecture->m_metadonnees->Ajoute(info->unread_marker, {lecture->m_marqueur.data(), taille});
    } catch (const std::bad_alloc&) {
        // The picture still loads, without this marker.
    }
    return TRUE;
}

void JpegLecture::SignaleMemoire()
{
    m_erreur.Rapport().Ajoute("JpegFile :\nOut of memory", {}, MB_OK | MB_ICONERROR, RapportCodec::Boite::Application);
}
