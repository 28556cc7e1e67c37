// GIF files through the library's own codec. Saving reduces the picture to
// the fixed 256-colour system palette and writes that palette as the table,
// so each pixel's index in the 8-bit copy is its index in the file.

#include "CGraphique.h"

#include "CGif.h"
#include "MemoryContext.h"

HBITMAP CGraphique::ChargeImageGIF(CString path)
{
    CGif gif;
    if (!gif.Load(path.c_str(), m_Budget))
        return nullptr;
    return gif.FirstImage();
}

int CGraphique::SauveImageGIF(CString path, HBITMAP image)
{
    PALETTEENTRY palette[256];
    for (PALETTEENTRY& entry : palette)
        entry = {128, 128, 128, 0};

    HDC screen = GetDC(nullptr);
    CBitmap copy;
    copy.Attach(Image8Bits(screen, image));
    ReleaseDC(nullptr, screen);
    if (!copy.GetSafeHandle())
        return 0;
    CSize size;
    RecupereInfosImage(copy, size, nullptr);
    HGLOBAL converted = LocalDDBToDIB8Bits(&copy, BI_RGB, nullptr, palette);
    if (!converted)
        return 0;

    int result = 0;
    {
        MemoryContext source(nullptr, copy);
        CGif gif;
        if (gif.GIF_Create(path.c_str(), size.cx, size.cy, 256, 8) == 0) {
            for (int i = 0; i < 256; ++i)
                gif.GIF_SetColor(i, palette[i].peRed, palette[i].peGreen, palette[i].peBlue);
            gif.GIF_SetSource(source);
            const int compressed = gif.GIF_CompressImage(0, 0, -1, -1);
            const int closed = gif.GIF_Close();
            result = compressed == 0 && closed == 0 ? 1 : 0;
        }
    }
    GlobalFree(converted);
    return result;
}
