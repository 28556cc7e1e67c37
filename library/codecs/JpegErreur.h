#pragma once
// The error manager of every libjpeg object of the library. A fatal error
// records the library's message and jumps back to the recovery point of the
// call in progress, which notes the message in the report and fails.
// Warnings keep the library's policy (only the first one of an image is
// reported) and go to the report as a box owned by the active window,
// captioned "JPEG Error". A warning that the data is cut short or corrupt
// also notes the picture as damaged, and ends the call as a fatal error when
// the report refuses damage.
//
// Nothing here has a destructor (the report is only pointed to), and the
// recovery points sit in functions that hold no object with one, so a jump
// never skips a destructor.

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

class RapportCodec;

class JpegErreur {
public:
    // caption: the title of the box that shows a fatal error.
    JpegErreur(const char* caption, RapportCodec& rapport);

    // The manager to store in a libjpeg object's err field.
    jpeg_error_mgr* Gestionnaire() { return &m_gestionnaire; }
    // Where a fatal error jumps to; set with setjmp before each library call.
    std::jmp_buf& Reprise() { return m_reprise; }
    // Adds the message of the fatal error that caused the jump to the report.
    void NoteFatale() const;
    const char* Message() const { return m_message; }
    RapportCodec& Rapport() const { return *m_rapport; }
    // Where the messages go from now on; for a library object that changes
    // threads, each thread keeping its own report.
    void Rapporte(RapportCodec& rapport) { m_rapport = &rapport; }
    // Ends the call in progress as a fatal error with a text of our own; for
    // callbacks that run inside the library.
    [[noreturn]] static void Abandonne(j_common_ptr info, const char* text);

private:
    [[noreturn]] static void SortieFatale(j_common_ptr info);
    static void NoteAvertissement(j_common_ptr info);
    static void Emet(j_common_ptr info, int niveau);

    // First, so that the library's pointer to it is a pointer to the whole.
    jpeg_error_mgr m_gestionnaire;
    std::jmp_buf m_reprise;
    const char* m_titre;
    RapportCodec* m_rapport;
    void (*m_emetBibliotheque)(j_common_ptr, int);
    char m_message[JMSG_LENGTH_MAX];
};
