#include "JpegLecture.h"

#include "Bitmap.h"
#include "Interaction.h"

#include <cstring>

namespace {

// Each scan of a progressive file passes over the whole picture again: a few
// bytes per scan could keep the decoder busy for hours. Real encoders write
// about ten.
constexpr int kMaxScans = 500;
constexpr const char* kTropDeScans = "Progressive JPEG image has more than 500 scans";

void SignaleOuverture(const CString& path) { AfxMessageBox("JPEG :\nCan't open " + path + "\n", MB_OK); }

} // namespace

JpegLecture::JpegLecture() : m_erreur("JPEG Fatal Error")
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
        SignaleOuverture(path);
        return false;
    }
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.AfficheFatale();
        return false;
    }
    m_info.err = m_erreur.Gestionnaire();
    jpeg_create_decompress(&m_info);
    m_progression.progress_monitor = &JpegLecture::Surveille;
    m_info.progress = &m_progression;
    jpeg_stdio_src(&m_info, m_fichier);
    jpeg_read_header(&m_info, TRUE);
    return true;
}

bool JpegLecture::TailleAcceptable() const
{
    return static_cast<std::size_t>(m_info.image_width) * m_info.image_height <= Bitmap::kMaxPixels;
}

bool JpegLecture::Demarre()
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.AfficheFatale();
        return false;
    }
    jpeg_start_decompress(&m_info);
    return true;
}

JSAMPARRAY JpegLecture::AlloueLignes(JDIMENSION samples, JDIMENSION rows)
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.AfficheFatale();
        return nullptr;
    }
    return (*m_info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&m_info), JPOOL_IMAGE, samples, rows);
}

bool JpegLecture::LitLignes(JSAMPARRAY rows, JDIMENSION count, JDIMENSION& lues)
{
    lues = 0;
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.AfficheFatale();
        return false;
    }
    lues = jpeg_read_scanlines(&m_info, rows, count);
    return true;
}

bool JpegLecture::Termine()
{
    if (setjmp(m_erreur.Reprise())) {
        m_erreur.AfficheFatale();
        return false;
    }
    jpeg_finish_decompress(&m_info);
    return true;
}

void JpegLecture::Surveille(j_common_ptr info)
{
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        JpegErreur::Abandonne(info, kTropDeScans);
}

void JpegLecture::SignaleMemoire() { AfxMessageBox("JpegFile :\nOut of memory", MB_OK | MB_ICONERROR); }
