#pragma once
// Resources of the two modules: string tables, bitmaps and icons, carried as Qt
// resources. A string is looked up in the program's table first, then in the
// library's, then in the framework's.

#include "Bitmap.h"

#include <string>

class QIcon;

enum class ResourceModule { Program, Library, Framework };

class Resources {
public:
    // Reads a table of lines "id<TAB>text" (with \n and \t escapes) from a Qt
    // resource path and makes it the module's string table.
    static void registerStrings(ResourceModule module, const char* resourcePath);
    // The text of a string id, or empty when no module has it.
    static std::string loadString(UINT id);
    // Bitmap id of a module as a new 32-bit device image, or null.
    static HBITMAP loadBitmap(ResourceModule module, UINT id);
    // Icon id of a module, or a null icon.
    static QIcon loadIcon(ResourceModule module, UINT id);
};
