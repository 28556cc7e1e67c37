#pragma once
// Small stateless routines shared by the program and the library's dialogs.

#include "Types.h"

class CRoutine {
public:
    CRoutine() = default;
    CRoutine(const CRoutine&) = default;
    CRoutine& operator=(const CRoutine&) = default;
    virtual ~CRoutine() = default;

    // The text of string resource id (program first, then library); the
    // first argument is replaced by it and returned. Empty when unknown.
    static CString Message(CString& text, UINT id);
};
