#pragma once
// The single document: the signing template. It holds no settings of its
// own (the workbench view does); it gives them a file name, a title, a
// modified mark and the way to and from a .tp2 file.

#include "Types.h"

class CArchive;

class CDoc {
public:
    // Set until the new-document call made during start-up has passed.
    static inline int PremierDocument = 1;

    // From the document template's strings: "sample", the title of a
    // template not yet saved; the file dialogs' filter; ".tp2".
    static CString TitreParDefaut();
    static CString FiltreFichiers();
    static CString Extension();

    // Template commands (Save, Save As); TRUE when id is one of them.
    BOOL OnCommand(UINT id);

    // New: the start-up's own call does nothing; every later one resets the view.
    BOOL OnNewDocument();
    // Reads the template at path. FALSE, with the user told, when the file
    // cannot be read or its content stops short.
    BOOL OnOpenDocument(const CString& path);
    // Writes the template to path, replacing an existing file only once
    // the new one is complete.
    BOOL OnSaveDocument(const CString& path);
    // The load/store step: nothing while the view is still being built.
    void Serialize(CArchive& ar);

    // The standard question before the document is dropped: FALSE when the
    // user cancelled or the save he asked for failed.
    BOOL SaveModified();
    // Save: as Save As when there is no path yet.
    BOOL DoFileSave();
    // Writes to path, or to a name chosen in the save dialog when path is
    // empty; replace makes the written file the document's file.
    BOOL DoSave(const CString& path, bool replace = true);

    void SetModifiedFlag(bool modified = true) { m_modifie = modified; }
    bool IsModified() const { return m_modifie; }
    const CString& GetPathName() const { return m_chemin; }
    // Path and title follow the file; the file joins the recent-file list.
    void SetPathName(const CString& path, bool addToRecent = true);
    const CString& GetTitle() const { return m_titre; }
    void SetTitle(const CString& title);
    // Back to an unnamed template called "sample".
    void SetDefaultTitle();

private:
    bool m_modifie = false;
    CString m_chemin;
    CString m_titre = TitreParDefaut();
};
