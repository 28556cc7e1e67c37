#pragma once
// Small stateless routines shared by the program and the library's dialogs.

#include "Types.h"

class CProgressionDlg;
class QAbstractButton;

class CRoutine {
public:
    CRoutine() = default;
    CRoutine(const CRoutine&) = default;
    CRoutine& operator=(const CRoutine&) = default;
    virtual ~CRoutine() = default;

    // The text of string resource id (program first, then library); the
    // first argument is replaced by it and returned. Empty when unknown.
    static CString Message(CString& text, UINT id);

    // Splits at the last "." of the whole path (extension, dot included) and
    // then at the last "\" of the rest, or the last "/" when it has none.
    // An output whose part is missing keeps its previous value.
    static void SepareNomFichier(CString path, CString& directory, CString& name, CString& extension);
    // Inserts suffix before the last "." and prefix after the last "\" (or
    // "/"); each only where its mark exists.
    static CString FormateNomFichier(CString path, CString prefix, CString suffix);
    // The last two characters of "00" + text read as hexadecimal digits.
    // Other characters are not refused: they count by the same arithmetic.
    static UINT HexToBin(CString text);

    // Checked when state is not 0.
    static void FixeEtatBouton(QAbstractButton* control, int state);
    // 1 when checked; 0 when unchecked or indeterminate.
    static void LireEtatBouton(QAbstractButton* control, int* state);

    // The value that follows the first occurrence of key in text; 1 when the
    // key occurs, else 0 with *out unchanged. Numbers read as the C
    // runtime's atoi does; a string takes the rest of the text; a font reads
    // its fields separated by single spaces and then its face name, cut to
    // 31 characters.
    static int ChargeUneDonnee(CString text, CString key, int* out);
    static int ChargeUneDonnee(CString text, CString key, long* out);
    static int ChargeUneDonnee(CString text, CString key, CString* out);
    static int ChargeUneDonnee(CString text, CString key, LOGFONT* out);

    // One step of a batch on the progress dialog: counter, lines and bar
    // shown, then the waiting input handled. 1 when the user pressed Stop
    // since the last step.
    static int ProgressionAfficheEtTeste(CProgressionDlg& dialog, UINT position, UINT total, CString file,
                                         CString operation);
    // Asks what to do with an existing target; name may come back renamed,
    // stop becomes 1 when the user chose Stop. Returns the choice code.
    static int QuestionEtProgression(CString& name, int& stop, CProgressionDlg& dialog);
};
