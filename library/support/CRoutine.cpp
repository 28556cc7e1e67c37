#include "CRoutine.h"

#include "Resources.h"

CString CRoutine::Message(CString& text, UINT id)
{
    text = Resources::loadString(id);
    return text;
}
