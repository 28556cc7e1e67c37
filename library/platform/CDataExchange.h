#pragma once
// Transfers between a dialog's members and its controls (DDX_*) and the
// range checks on what was read (DDV_*), called in order from
// CDialog::DoDataExchange. Reading stops at the first field that fails:
// fields exchanged before it keep their new values, the user sees the
// standard warning and the focus goes back to the last control prepared.
// A DDV_ check right after its DDX_ therefore points at its own field; a
// check made later should call PrepareEditCtrl(id) first.

#include "CDialog.h"

#include <string>

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate);

    BOOL m_bSaveAndValidate; // TRUE: controls into members
    CDialog* m_pDlgWnd;

    // Remembers the control about to be exchanged; returns it (null when absent).
    QWidget* PrepareCtrl(int id);
    QWidget* PrepareEditCtrl(int id);
    int LastControl() const { return m_idLastControl; }
    // Focus back on the last prepared control (its text selected when it is
    // an edit), then abandons the exchange: UpdateData returns FALSE.
    [[noreturn]] void Fail();
    // Shows the standard warning, then Fail().
    [[noreturn]] void Warn(const std::string& text);

    // Carries a failure out of DoDataExchange; caught by UpdateData.
    struct Failure {};

private:
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
};

// Edit text as a string or a number. Numbers are written in decimal; reading
// accepts blanks around the number and fails on anything else.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
void DDX_Text(CDataExchange* pDX, int id, long& value);
void DDX_Text(CDataExchange* pDX, int id, double& value);
// Check box or toggle: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Index of the checked radio in the group that starts with id; -1 for none.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// Position of a slider.
void DDX_Slider(CDataExchange* pDX, int id, int& value);

// Binds a member to the control, typed; null when the control is not a T.
template <class T>
void DDX_Control(CDataExchange* pDX, int id, T*& control)
{
    control = dynamic_cast<T*>(pDX->PrepareCtrl(id));
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minimum, UINT maximum);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minimum, long maximum);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minimum, double maximum);
// Reading: at most maximum bytes. Writing: the last prepared edit takes no more.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maximum);
