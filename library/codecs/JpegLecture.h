#pragma once
// One decoding of a JPEG file, from opening to release. Every call into the
// library runs under a recovery point of its own: a fatal error shows its
// message under "JPEG Fatal Error" and the call returns false. Whatever
// happened, the destructor releases the decompressor and the file.

#include "JpegErreur.h"
#include "Types.h"

class JpegLecture {
public:
    JpegLecture();
    ~JpegLecture();
    JpegLecture(const JpegLecture&) = delete;
    JpegLecture& operator=(const JpegLecture&) = delete;

    // Opens the file and reads its header; an image is required. Shows
    // "JPEG :\nCan't open %s\n" when the file cannot be opened.
    bool Ouvre(const CString& path);
    // The image holds few enough pixels for the library to keep in memory;
    // otherwise the caller reports it as memory refused.
    bool TailleAcceptable() const;
    // Header fields, and the output settings to change before Demarre.
    jpeg_decompress_struct& Info() { return m_info; }
    bool Demarre();
    // Sample rows from the image pool, released with the decompressor.
    JSAMPARRAY AlloueLignes(JDIMENSION samples, JDIMENSION rows);
    // Reads up to count rows; lues receives how many came.
    bool LitLignes(JSAMPARRAY rows, JDIMENSION count, JDIMENSION& lues);
    bool Termine();

    // "JpegFile :\nOut of memory", for a picture too large to hold.
    static void SignaleMemoire();

private:
    static void Surveille(j_common_ptr info);

    JpegErreur m_erreur;
    jpeg_progress_mgr m_progression{};
    jpeg_decompress_struct m_info;
    std::FILE* m_fichier = nullptr;
};
